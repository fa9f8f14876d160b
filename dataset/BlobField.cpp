#include "dataset/BlobField.h"

#include "dataset/DataSet.h"
#include "platform/AnsiCase.h"
#include "platform/Stream.h"

namespace cibrano {

TBlobField::TBlobField(TComponent* owner) : TField(owner) {
    setDataType(ftBlob);
}

TMemoField::TMemoField(TComponent* owner) : TBlobField(owner) {
    setDataType(ftMemo);
}

TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner) {
    setDataType(ftGraphic);
}

AnsiString TBlobField::stringValue() const {
    std::unique_ptr<TStream> stream =
        requireDataSet()->createBlobStream(const_cast<TBlobField*>(this), bmRead);
    AnsiString bytes(stream->size(), '\0');
    stream->setPosition(0);
    bytes.resize(stream->read(bytes.data(), bytes.size()));
    return bytes;
}

void TBlobField::setStringValue(const AnsiString& bytes) {
    std::unique_ptr<TStream> stream = requireDataSet()->createBlobStream(this, bmWrite);
    stream->writeBuffer(bytes.data(), bytes.size());
}

void TBlobField::clearValue() {
    // A write stream that receives nothing leaves the value empty when it goes.
    requireDataSet()->createBlobStream(this, bmWrite);
}

AnsiString TBlobField::textOf(bool) const {
    const AnsiString name = classDescription();
    AnsiString text = "(";
    text += isNull() ? name : ansiUpperCase(name);
    text += ')';
    return text;
}

AnsiString TMemoField::textOf(bool displayText) const {
    return displayText ? TBlobField::textOf(true) : stringValue();
}

} // namespace cibrano
