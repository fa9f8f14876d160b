#include "engine/query/ZerovFilter.h"

#include "dataset/NumberFormat.h"
#include "engine/query/ZerovMask.h"
#include "engine/query/ZerovParser.h"
#include "engine/query/ZerovParserConst.h"
#include "engine/record/FieldValues.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/DateTimeText.h"
#include "platform/Format.h"

#include <climits>
#include <memory>

namespace cibrano {

namespace {

bool isTextKind(uint8_t kind) {
    return kind == kindFixedText || kind == kindText || kind == kindMemo || kind == kindFmtMemo;
}

bool parsesAsInteger(std::string_view text, long long low, long long high) {
    long long ignored = 0;
    return tryParseIntegerIn(text, low, high, ignored);
}

const TZerovField* fieldNamed(const std::vector<TZerovField>& fields, std::string_view name) {
    for (const TZerovField& f : fields)
        if (ansiSameText(f.fieldName, name))
            return &f;
    return nullptr;
}

bool relationHolds(TZerovRelation relation, int r) {
    switch (relation) {
    case relEqual:
        return r == 0;
    case relGreater:
        return r > 0;
    case relLess:
        return r < 0;
    case relGreaterEqual:
        return r >= 0;
    case relLessEqual:
        return r <= 0;
    case relNotEqual:
        return r != 0;
    case relLike:
    case relStarEqual:
        break;
    }
    return true;
}

} // namespace

bool textDenotesValue(std::string_view text, const TZerovField& f) {
    if (text.empty())
        return true;
    double number = 0;
    TDateTime moment = 0;
    switch (f.storageKind) {
    case kindSmallint:
        return parsesAsInteger(text, INT16_MIN, INT16_MAX);
    case kindInteger:
    case kindAutoInc:
        return parsesAsInteger(text, INT32_MIN, INT32_MAX);
    case kindFloat:
    case kindCurrency:
        return tryParseFloat(text, number);
    case kindDate:
        return tryParseDate(text, moment);
    case kindTime:
        return tryParseTime(text, moment);
    case kindDateTime:
        return tryParseDateTime(text, moment);
    case kindFixedText:
        return static_cast<long long>(text.size()) <=
               std::min<long long>(f.declaredSize, f.dataSize - 1LL);
    case kindText:
        return static_cast<long long>(text.size()) <= f.declaredSize;
    case kindMemo:
    case kindFmtMemo:
        return f.declaredSize <= 0 || static_cast<long long>(text.size()) <= f.declaredSize;
    default:
        return true;
    }
}

void TZerovFilter::fail(const AnsiString& text) const {
    databaseError(text, errorSource_);
}

void TZerovFilter::clear() {
    conditions_.clear();
    prepared_.clear();
}

void TZerovFilter::parse(const AnsiString& text) {
    clear();
    if (text.empty())
        return;
    TZerovParser parser(errorSource_);
    parser.tokenize(text);
    parser.readConditions(conditions_, 0);
}

void TZerovFilter::prepare(const std::vector<TZerovField>& fields) {
    // Bindings of an earlier preparation may point into a field list that is gone.
    prepared_.clear();
    for (TZerovCField& c : conditions_) {
        c.leftField = nullptr;
        c.rightField = nullptr;
        c.constant.clear();
        c.mask.reset();
    }
    std::vector<Prepared> prepared(conditions_.size());
    for (size_t i = 0; i < conditions_.size(); ++i) {
        TZerovCField& c = conditions_[i];
        Prepared& p = prepared[i];
        const TZerovField* left = fieldNamed(fields, c.leftOperand);
        if (!left)
            fail(formatText(exprmsg::FieldNotFound, c.leftOperand.c_str()));
        c.leftField = left;

        const TZerovField* right = nullptr;
        if (c.rightKind == tokIdentifier || c.rightKind == tokString) {
            right = fieldNamed(fields, c.rightOperand);
            if (!right && c.rightKind == tokIdentifier)
                fail(formatText(exprmsg::FieldNotFound, c.rightOperand.c_str()));
        }
        if (right) {
            c.rightField = right;
            if (c.relation == relLike) {
                p.test = testLikeField;
            } else if (isTextKind(left->storageKind) && isTextKind(right->storageKind)) {
                // Fixed and referenced texts hold the same kind of value in different slots.
                p.test = testFieldTexts;
            } else if (left->storageKind == right->storageKind) {
                p.test = testFieldSlots;
            } else {
                fail(exprmsg::FieldTypesNotEqual);
            }
            if (c.relation == relStarEqual)
                p.test = testPass;
            continue;
        }

        c.constant = c.rightKind == tokNull ? AnsiString() : c.rightOperand;
        if (c.relation == relLike) {
            c.mask = std::make_unique<TZerovMask>(c.constant);
            p.test = testLikeConstant;
        } else if (isTextKind(left->storageKind)) {
            // Compared as texts in full: converting into the slot would cut the constant to
            // the field's size and let a longer constant equal a stored prefix of it.
            p.test = testConstantText;
        } else {
            if (!textDenotesValue(c.constant, *left))
                fail(formatText(exprmsg::InvalidFilterValue, c.constant.c_str(),
                                left->fieldName.c_str()));
            p.slot.assign(left->dataSize, 0);
            fieldValueFromText(p.slot.data(), c.constant, *left);
            p.test = testConstantSlot;
        }
        if (c.relation == relStarEqual)
            p.test = testPass;
    }
    prepared_ = std::move(prepared);
}

bool TZerovFilter::accepts(const RecordEntry& entry, bool caseInsensitive) const {
    if (prepared_.size() != conditions_.size() || !entry.data)
        return false;
    for (size_t i = 0; i < conditions_.size(); ++i) {
        const TZerovCField& c = conditions_[i];
        const Prepared& p = prepared_[i];
        const TZerovField* left = c.leftField;
        if (!left)
            return false;
        int r = 0;
        switch (p.test) {
        case testPass:
            continue;
        case testLikeConstant:
            if (!c.mask->matches(fieldValueAsText(*left, entry)))
                return false;
            continue;
        case testLikeField: {
            const TZerovMask mask(fieldValueAsText(*c.rightField, entry));
            if (!mask.matches(fieldValueAsText(*left, entry)))
                return false;
            continue;
        }
        case testFieldSlots:
            r = compareFieldValues(slotOf(entry.data, *left), slotOf(entry.data, *c.rightField),
                                   *left, caseInsensitive);
            break;
        case testFieldTexts:
            r = compareTexts(fieldValueAsText(*left, entry).c_str(),
                             fieldValueAsText(*c.rightField, entry).c_str(), caseInsensitive);
            break;
        case testConstantSlot:
            r = compareFieldValues(slotOf(entry.data, *left), p.slot.data(), *left,
                                   caseInsensitive);
            break;
        case testConstantText:
            r = compareTexts(fieldValueAsText(*left, entry).c_str(), c.constant.c_str(),
                             caseInsensitive);
            break;
        }
        if (!relationHolds(c.relation, r))
            return false;
    }
    return true;
}

} // namespace cibrano
