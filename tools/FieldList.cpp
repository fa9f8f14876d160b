#include "tools/FieldList.h"

#include "engine/ZerovTbl.h"
#include "platform/AnsiCase.h"
#include "platform/AnsiString.h"
#include "tools/ToolError.h"

#include <charconv>

namespace cibrano::tool {

namespace {

struct TypeWord {
    const char* word;
    TFieldType type;
};

constexpr TypeWord kTypes[] = {
    {"string", ftString},   {"smallint", ftSmallint}, {"integer", ftInteger},   {"word", ftWord},
    {"boolean", ftBoolean}, {"float", ftFloat},       {"currency", ftCurrency}, {"date", ftDate},
    {"time", ftTime},       {"datetime", ftDateTime}, {"autoinc", ftAutoInc},   {"blob", ftBlob},
    {"memo", ftMemo},       {"fmtmemo", ftFmtMemo},   {"graphic", ftGraphic}};

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

} // namespace

std::vector<FieldDescription> foodTableFields() {
    return {{"Gruppo", ftString, 30}, {"Nome", ftString, 50},  {"Quantita", ftFloat, 0},
            {"Kcalorie", ftFloat, 0}, {"Glucidi", ftFloat, 0}, {"Lipidi", ftFloat, 0},
            {"Proteine", ftFloat, 0}};
}

std::vector<FieldDescription> parseFieldList(std::string_view list) {
    std::vector<FieldDescription> fields;
    for (std::string_view entry : split(list, ',')) {
        const std::string shown(entry);
        std::vector<std::string_view> parts = split(entry, ':');
        if (parts.size() < 2 || parts.size() > 3 || parts[0].empty())
            throw UsageError("field definition \"" + shown + "\" is not NAME:TYPE[:SIZE]");
        auto name = utf8ToAnsi(parts[0]);
        if (!name)
            throw UsageError("field name \"" + shown +
                             "\" holds a character that Windows-1252 cannot represent");
        for (const FieldDescription& other : fields)
            if (ansiSameText(other.name, *name))
                throw UsageError("field " + std::string(parts[0]) + " is defined twice");
        FieldDescription d;
        d.name = *name;
        const TypeWord* found = nullptr;
        for (const TypeWord& t : kTypes)
            if (ansiSameText(t.word, parts[1]))
                found = &t;
        if (!found)
            throw UsageError("unknown field type \"" + std::string(parts[1]) + "\" in \"" + shown +
                             "\"");
        d.type = found->type;
        if (d.type == ftString) {
            if (parts.size() != 3)
                throw UsageError("string field \"" + shown + "\" needs a size (NAME:string:SIZE)");
            auto [end, ec] =
                std::from_chars(parts[2].data(), parts[2].data() + parts[2].size(), d.size);
            // No longer than a text the table file can hold.
            constexpr int kMaxSize = TZerovCursor::kMaxTextLength;
            if (ec != std::errc() || end != parts[2].data() + parts[2].size() || d.size < 1 ||
                d.size > kMaxSize)
                throw UsageError("size of \"" + shown + "\" is not a number from 1 to " +
                                 std::to_string(kMaxSize));
        } else if (parts.size() == 3) {
            throw UsageError("only string fields take a size: \"" + shown + "\"");
        }
        fields.push_back(d);
    }
    return fields;
}

std::string typeWordOfKind(uint8_t storageKind) {
    const TFieldType type = fieldTypeOfKind(storageKind);
    for (const TypeWord& t : kTypes)
        if (t.type == type)
            return t.word;
    return "unknown";
}

} // namespace cibrano::tool
