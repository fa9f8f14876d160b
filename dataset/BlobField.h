#pragma once
// The BLOB fields: values of any length that live outside the record buffer and are read and
// written as a whole through the dataset's BLOB streams. TMemoField holds text,
// TGraphicField a picture.

#include "dataset/Field.h"

namespace cibrano {

class TBlobField : public TField {
public:
    explicit TBlobField(TComponent* owner = nullptr);

    bool isBlob() const override { return true; }
    // The exact BLOB type (ftBlob, ftFmtMemo, ftTypedBinary, ...).
    void setBlobType(TFieldType type) { setDataType(type); }

    // The whole value as bytes.
    AnsiString stringValue() const override;
    void setStringValue(const AnsiString& bytes) override;
    void clearValue() override;

protected:
    // "(Blob)" for null, "(BLOB)" otherwise; memo and graphic fields name themselves.
    AnsiString textOf(bool displayText) const override;
    virtual const char* classDescription() const { return "Blob"; }
};

class TMemoField : public TBlobField {
public:
    explicit TMemoField(TComponent* owner = nullptr);

protected:
    // The description for display, the text itself for editing.
    AnsiString textOf(bool displayText) const override;
    const char* classDescription() const override { return "Memo"; }
};

class TGraphicField : public TBlobField {
public:
    explicit TGraphicField(TComponent* owner = nullptr);

protected:
    const char* classDescription() const override { return "Graphic"; }
};

} // namespace cibrano
