#include "engine/table/ZerovFindEdit.h"

#include "dataset/DataSource.h"
#include "dataset/Field.h"
#include "dataset/FieldDataLink.h"
#include "engine/table/StoredText.h"
#include "platform/Abort.h"
#include "platform/AnsiCase.h"
#include "platform/Timer.h"
#include "platform/UiServices.h"

namespace cibrano {

namespace {

// The box's handler as the dataset holds it. A named callable rather than a lambda, so that
// the box can recognise its own handler in the dataset's OnFilterRecord.
struct FindEditFilter {
    TZerovFindEdit* box;
    void operator()(TDataSet* dataSet, bool& accept) const { box->filterRecord(dataSet, accept); }
};

} // namespace

// The box's link, which also tells the box when the dataset enters or leaves an edit, whether
// or not the box's own field could be edited.
class TZerovFindEdit::EditWatchLink : public TFieldDataLink {
public:
    explicit EditWatchLink(TZerovFindEdit* box) : box_(box) {}

protected:
    void notifyEditingChange() override {
        const TLifeMark::Watch self = watchLife();
        TFieldDataLink::notifyEditingChange();
        if (self.alive())
            box_->editingChanged(TDataLink::Editing());
    }

private:
    TZerovFindEdit* box_;
};

TZerovFindEdit::TZerovFindEdit(TComponent* owner)
    : TComponent(owner), link_(std::make_unique<EditWatchLink>(this)), timer_(createTimer()) {
    link_->setControl(this);
    link_->OnActiveChange = [this] { installFilterHook(); };
    timer_->setInterval(kSearchDelay);
    timer_->setSingleShot(true);
    timer_->OnTimer = [this] { searchTimerFired(); };
}

TZerovFindEdit::~TZerovFindEdit() {
    destroying();
    timer_.reset();
    // The dataset must not keep a handler that calls into a box that is gone, whatever the
    // style is now and whether or not the dataset is open.
    try {
        removeFilterHook();
    } catch (const std::exception& e) {
        reportError(e);
    }
    link_.reset();
}

// --- Properties -----------------------------------------------------------------------------

TDataSource* TZerovFindEdit::DataSource() const {
    return link_->DataSource();
}

void TZerovFindEdit::setDataSource(TDataSource* source) {
    TDataSource* old = link_->DataSource();
    if (!(link_->SourceFixed() && isLoading()))
        link_->setDataSource(source);
    if (old && old != source)
        old->removeFreeNotification(this);
    if (source)
        source->freeNotification(this);
    dropStaleHook();
}

const AnsiString& TZerovFindEdit::DataField() const {
    return link_->FieldName();
}

void TZerovFindEdit::setDataField(const AnsiString& name) {
    if (name.empty())
        return;
    link_->setFieldName(name);
}

void TZerovFindEdit::setFindStyle(TZerovFindStyle style) {
    findStyle_ = style;
    if (style == vfsNavigate)
        findMode_ = vfmFirstPos;
    installFilterHook();
}

void TZerovFindEdit::setFindMode(TZerovFindMode mode) {
    // Locating a record matches a key from its start: navigating knows no other mode.
    findMode_ = findStyle_ == vfsNavigate ? vfmFirstPos : mode;
}

void TZerovFindEdit::setIgnoreCase(bool value) {
    ignoreCase_ = value;
    searchPrepared_ = false;
}

void TZerovFindEdit::setText(const AnsiString& text) {
    if (text == text_)
        return;
    text_ = text;
    timer_->setEnabled(true); // restarts a wait already under way
    // The user is back at the box: an edit still open is one the search settles.
    editBegunWhileWaiting_ = false;
    searchHeld_ = false;
    searchText_ = text_;
    searchPrepared_ = false;
    if (OnChange)
        OnChange(this);
}

void TZerovFindEdit::clearSearch() {
    timer_->setEnabled(false);
    editBegunWhileWaiting_ = false;
    searchHeld_ = false;
    const bool changed = !text_.empty();
    text_.clear();
    searchText_.clear();
    searchPrepared_ = false;
    if (changed && OnChange)
        OnChange(this);
    removeFilterHook();
}

void TZerovFindEdit::setFilteredUnderSearch(TDataSet* dataSet, bool value) {
    if (!dataSet)
        return;
    dropStaleHook();
    if (dataSet == hookedDataSet_) {
        savedFiltered_ = value;
        // Even when already filtered: the records are chosen again under the new setting.
        dataSet->setFiltered(true);
    } else {
        dataSet->setFiltered(value);
    }
}

bool TZerovFindEdit::searchPending() const {
    return (timer_ && timer_->Enabled()) || searchHeld_;
}

// --- The filter hook ------------------------------------------------------------------------

TDataSet* TZerovFindEdit::linkedDataSet() const {
    return link_ ? link_->dataSet() : nullptr;
}

bool TZerovFindEdit::isOwnHandler(const TDataSet::TFilterRecordEvent& handler) const {
    const FindEditFilter* filter = handler.target<FindEditFilter>();
    return filter && filter->box == this;
}

void TZerovFindEdit::installFilterHook() {
    dropStaleHook();
    TDataSet* ds = linkedDataSet();
    if (findStyle_ != vfsFilter || !ds || !link_->Active() || searchText_.empty() ||
        isOwnHandler(ds->OnFilterRecord))
        return;
    savedHandler_ = ds->OnFilterRecord;
    savedFiltered_ = ds->Filtered();
    hookedDataSet_ = ds;
    freeNotification(ds);
    ds->setOnFilterRecord(FindEditFilter{this});
}

void TZerovFindEdit::removeFilterHook() {
    TDataSet* ds = hookedDataSet_;
    if (!ds)
        return;
    hookedDataSet_ = nullptr;
    removeFreeNotification(ds);
    TDataSet::TFilterRecordEvent handler = std::move(savedHandler_);
    savedHandler_ = nullptr;
    // When the application has put a handler of its own in meanwhile, that one stays, and so
    // does the Filtered value it goes with.
    if (!isOwnHandler(ds->OnFilterRecord))
        return;
    ds->setOnFilterRecord(std::move(handler));
    ds->setFiltered(savedFiltered_);
}

void TZerovFindEdit::dropStaleHook() {
    if (!hookedDataSet_)
        return;
    if (hookedDataSet_ != linkedDataSet() || !isOwnHandler(hookedDataSet_->OnFilterRecord))
        removeFilterHook();
}

void TZerovFindEdit::notification(TComponent* component, TOperation operation) {
    TComponent::notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == hookedDataSet_) {
        // The dataset goes, and its handler with it: nothing to give back.
        hookedDataSet_ = nullptr;
        savedHandler_ = nullptr;
    }
    if (link_ && component == link_->DataSource())
        setDataSource(nullptr);
}

// --- Searching ------------------------------------------------------------------------------

bool TZerovFindEdit::dataSetEditing() const {
    const TDataSet* ds = linkedDataSet();
    return ds && (ds->State() == stateEdit || ds->State() == stateInsert);
}

void TZerovFindEdit::editingChanged(bool editing) {
    if (editing) {
        if (timer_ && timer_->Enabled())
            editBegunWhileWaiting_ = true;
    } else if (searchHeld_ && timer_) {
        // Not from inside the post or cancel that ended the edit: after the usual wait.
        searchHeld_ = false;
        editBegunWhileWaiting_ = false;
        timer_->setEnabled(true);
    }
}

void TZerovFindEdit::searchTimerFired() {
    timer_->setEnabled(false);
    if (editBegunWhileWaiting_ && dataSetEditing()) {
        searchHeld_ = true;
        return;
    }
    editBegunWhileWaiting_ = false;
    installFilterHook();
    TDataSet* ds = linkedDataSet();
    if (!searchText_.empty()) {
        if (!ds || !link_->Active() || !link_->field())
            return;
        if (findStyle_ == vfsFilter) {
            // Even when already filtered: the records are chosen again with the new text.
            ds->setFiltered(true);
        } else {
            TLocateOptions options;
            options.include(loPartialKey);
            if (ignoreCase_)
                options.include(loCaseInsensitive);
            ds->locate(link_->field()->FieldName(), TVariant(searchText_), options);
        }
    } else if (hooked()) {
        removeFilterHook();
    }
}

namespace {

// Each byte as the search compares it: upper-cased by the case rule, or as it is.
struct CaseMaps {
    unsigned char upper[256];
    unsigned char same[256];
    CaseMaps() {
        for (int c = 0; c < 256; ++c) {
            upper[c] = ansiUpperChar(static_cast<unsigned char>(c));
            same[c] = static_cast<unsigned char>(c);
        }
    }
};

const CaseMaps& caseMaps() {
    static const CaseMaps maps;
    return maps;
}

} // namespace

bool TZerovFindEdit::textMatches(std::string_view fieldText) const {
    // The field's text is compared in place, each byte mapped as it is read: a search over
    // many records allocates and copies nothing per record.
    const CaseMaps& maps = caseMaps();
    const unsigned char* map = ignoreCase_ ? maps.upper : maps.same;
    if (!searchPrepared_) {
        preparedSearch_ = searchText_;
        for (char& c : preparedSearch_)
            c = static_cast<char>(map[static_cast<unsigned char>(c)]);
        searchPrepared_ = true;
    }
    const std::string_view t = preparedSearch_;
    const std::string_view s = fieldText;
    auto matchesAt = [&](size_t at) {
        for (size_t k = 0; k < t.size(); ++k)
            if (map[static_cast<unsigned char>(s[at + k])] != static_cast<unsigned char>(t[k]))
                return false;
        return true;
    };
    if (s.size() < t.size())
        return false;
    if (findMode_ == vfmFirstPos || t.empty())
        return matchesAt(0);
    const auto first = static_cast<unsigned char>(t[0]);
    const size_t last = s.size() - t.size();
    for (size_t at = 0; at <= last; ++at)
        if (map[static_cast<unsigned char>(s[at])] == first && matchesAt(at))
            return true;
    return false;
}

void TZerovFindEdit::filterRecord(TDataSet* dataSet, bool& accept) {
    accept = true;
    if (savedFiltered_ && savedHandler_)
        savedHandler_(dataSet, accept);
    if (!accept || searchText_.empty())
        return;
    // The link's field, or the field of that name in the dataset that asks, should the box
    // have been moved to another dataset meanwhile.
    TField* field = link_ ? link_->field() : nullptr;
    if (field && field->DataSet() != dataSet)
        field = nullptr;
    if (!field && dataSet && link_)
        field = dataSet->findField(link_->FieldName());
    if (!field)
        return;
    // The candidate record's own bytes when the field reads them unchanged, else its value.
    std::string_view text;
    if (candidateTextInPlace(dataSet, field, text))
        accept = textMatches(text);
    else
        accept = textMatches(field->stringValue());
}

} // namespace cibrano
