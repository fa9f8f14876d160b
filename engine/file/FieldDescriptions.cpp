#include "engine/file/FieldDescriptions.h"

#include "engine/file/ZerovCursor.h"
#include "engine/record/ZerovField.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/Stream.h"

#include <limits>

namespace cibrano {

namespace {
// Texts up to this length live in the record buffer itself, their length as one base-36 digit.
constexpr int kMaxFixedText = 35;
} // namespace

AnsiString fieldTypeCode(TFieldType type, int size) {
    switch (type) {
    case ftSmallint:
    case ftWord:
        return "l";
    case ftInteger:
        return "i";
    case ftBoolean:
        return "b";
    case ftFloat:
        return "f";
    case ftCurrency:
        return "c";
    case ftDate:
        return "d";
    case ftTime:
        return "v";
    case ftDateTime:
        return "t";
    case ftAutoInc:
        return "a";
    case ftBlob:
        return "o";
    case ftMemo:
        return "m";
    case ftFmtMemo:
        return "r";
    case ftGraphic:
        return "g";
    case ftString:
        if (size >= 0 && size <= kMaxFixedText)
            return AnsiString(1, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[size]);
        return AnsiString("s").append(std::to_string(size));
    default:
        return "s";
    }
}

AnsiString buildDescriptionSection(const std::vector<FieldDescription>& fields) {
    AnsiString section;
    for (const FieldDescription& d : fields) {
        if (d.name.find('\x12') != AnsiString::npos)
            databaseError(formatText("Invalid field name '%s'", d.name));
        if (d.type == ftString && (d.size < 0 || d.size > std::numeric_limits<int16_t>::max()))
            databaseError(formatText("Invalid size %d of field '%s'", d.size, d.name));
        AnsiString name = d.name;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        section += "XXX." + name + " " + fieldTypeCode(d.type, d.size) + '\x12';
    }
    section += '\x14';
    return section;
}

size_t writeNewTableImage(TStream& stream, const std::vector<FieldDescription>& fields) {
    const AnsiString section = buildDescriptionSection(fields);
    const auto d = static_cast<int32_t>(section.size());
    stream.writeInt32(17 + d);
    stream.writeUInt8(TZerovCursor::kPlainImage);
    stream.writeInt32(0);
    stream.writeInt32(static_cast<int32_t>(fields.size()));
    stream.writeInt32(d);
    stream.writeBuffer(section.data(), section.size());
    return 17 + section.size();
}

TFieldType fieldTypeOfKind(uint8_t storageKind) {
    switch (storageKind) {
    case kindSmallint:
        return ftSmallint;
    case kindInteger:
        return ftInteger;
    case kindBoolean:
        return ftBoolean;
    case kindFloat:
        return ftFloat;
    case kindCurrency:
        return ftCurrency;
    case kindDate:
        return ftDate;
    case kindTime:
        return ftTime;
    case kindDateTime:
        return ftDateTime;
    case kindAutoInc:
        return ftAutoInc;
    case kindFixedText:
    case kindText:
        return ftString;
    case kindBlob:
        return ftBlob;
    case kindMemo:
        return ftMemo;
    case kindFmtMemo:
        return ftFmtMemo;
    case kindGraphic:
        return ftGraphic;
    default:
        return ftUnknown;
    }
}

} // namespace cibrano
