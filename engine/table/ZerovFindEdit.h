#pragma once
// TZerovFindEdit: the logic of the one-line find box bound to one field of a dataset. As the
// user types, it either moves the dataset to the first record whose field begins with the
// text (navigate style) or narrows the dataset to the records whose field begins with or
// contains it (filter style). The search runs 100 ms after the last keystroke, so typing a
// word runs one search, not one per letter.
//
// This is the box without its window: the line edit that shows it forwards every text change
// to setText() and shows Text().
//
// Filter style works through the dataset's own record filter: the box puts its handler in
// place of the dataset's OnFilterRecord (the "hook"), remembering the handler and the Filtered
// value it found, and switches Filtered on. The remembered handler keeps running under the
// search when the dataset was filtered before it, so the application's own filter stays in
// force. An empty search text gives both back.

#include "dataset/DataSet.h"
#include "platform/AnsiString.h"
#include "platform/Component.h"

#include <functional>
#include <memory>
#include <string_view>

namespace cibrano {

class TDataSource;
class TField;
class TFieldDataLink;
class TTimer;

enum TZerovFindStyle { vfsNavigate, vfsFilter };
enum TZerovFindMode { vfmFirstPos, vfmAnyPos };

class TZerovFindEdit : public TComponent {
public:
    using TNotifyEvent = std::function<void(TZerovFindEdit* sender)>;

    // The wait between the last text change and the search.
    static constexpr int kSearchDelay = 100;

    explicit TZerovFindEdit(TComponent* owner = nullptr);
    ~TZerovFindEdit() override;

    // --- Published properties ----------------------------------------------------------
    TDataSource* DataSource() const;
    void setDataSource(TDataSource* source);
    // An empty name is ignored; an unknown one raises "Field '%s' not found" while the
    // dataset is open. A new field is used from the next search on.
    const AnsiString& DataField() const;
    void setDataField(const AnsiString& name);
    // Navigate style always matches at the first position.
    TZerovFindStyle FindStyle() const { return findStyle_; }
    void setFindStyle(TZerovFindStyle style);
    TZerovFindMode FindMode() const { return findMode_; }
    void setFindMode(TZerovFindMode mode);
    // Compare after upper-casing both sides (default true).
    bool IgnoreCase() const { return ignoreCase_; }
    void setIgnoreCase(bool value);

    // The box's text. Setting a different text is a text change: the wait for the search
    // starts afresh and OnChange runs.
    const AnsiString& Text() const { return text_; }
    void setText(const AnsiString& text);

    TNotifyEvent OnChange;

    // Ends the search at once: the text becomes empty (a text change, OnChange runs), no search
    // waits, and a dataset holding the box's handler gets its own handler and its Filtered
    // value back.
    void clearSearch();
    // Sets `dataSet`'s own Filtered, whether or not a search narrows it. While the box's
    // handler stands in the dataset's place, the value is kept as the one given back when the
    // search ends and decides whether the dataset's own handler runs under the search; the
    // records are chosen again at once. Otherwise the dataset's Filtered is set.
    void setFilteredUnderSearch(TDataSet* dataSet, bool value);

    // --- State ---------------------------------------------------------------------------
    // The text the next search (or the search under way) uses.
    const AnsiString& searchText() const { return searchText_; }
    // Whether a search waits: for its timer, or for an edit begun meanwhile to end.
    bool searchPending() const;
    // Whether the box's handler is in the dataset's place (filter style).
    bool hooked() const { return hookedDataSet_ != nullptr; }
    TFieldDataLink& dataLink() const { return *link_; }

    // The box's record filter: the handler it found first (when the dataset was filtered
    // then), then the match of the search text in the candidate record's field.
    void filterRecord(TDataSet* dataSet, bool& accept);
    // Whether `handler` is this box's own record filter.
    bool isOwnHandler(const TDataSet::TFilterRecordEvent& handler) const;

protected:
    void notification(TComponent* component, TOperation operation) override;

private:
    class EditWatchLink;

    TDataSet* linkedDataSet() const;
    void installFilterHook();
    // Gives the hooked dataset back its handler and its Filtered value.
    void removeFilterHook();
    // Forgets a hook whose dataset is no longer the one the box searches, giving it back.
    void dropStaleHook();
    void searchTimerFired();
    // The dataset entered or left an edit (or insert) state.
    void editingChanged(bool editing);
    bool dataSetEditing() const;
    bool textMatches(std::string_view fieldText) const;

    std::unique_ptr<TFieldDataLink> link_;
    std::unique_ptr<TTimer> timer_;
    TZerovFindStyle findStyle_ = vfsNavigate;
    TZerovFindMode findMode_ = vfmFirstPos;
    bool ignoreCase_ = true;
    AnsiString text_;
    AnsiString searchText_;
    // The search text as textMatches compares it (upper-cased when the case is ignored),
    // worked out again after the text or the case rule changed.
    mutable AnsiString preparedSearch_;
    mutable bool searchPrepared_ = false;
    // An edit began while the search waited for its timer; the search then waits for it to end.
    bool editBegunWhileWaiting_ = false;
    bool searchHeld_ = false;

    // The dataset that holds the box's handler, and what the box found there.
    TDataSet* hookedDataSet_ = nullptr;
    TDataSet::TFilterRecordEvent savedHandler_;
    bool savedFiltered_ = false;
};

} // namespace cibrano
