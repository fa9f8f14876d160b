// Handlers that do unexpected things. Every event of the table dataset, of its fields, of its
// data source and of the data links attached to it runs one action (close the dataset, cancel,
// move, detach or free a link or the source, raise an error or the silent abort) while one
// operation is under way. After every case the framework must not have crashed or touched
// freed memory (the sanitizer build shows that), its state must be consistent, and a close
// followed by an open must give back a browsable table with the records of its file.

#include "tests/engine/ZerovTableTestSupport.h"

#include "dataset/Abort.h"
#include "dataset/DataLink.h"
#include "dataset/DataSource.h"
#include "dataset/FieldDataLink.h"
#include "dataset/FloatField.h"
#include "dataset/StringField.h"
#include "platform/DatabaseError.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace cibrano::testing {
namespace {

// --- The matrix -----------------------------------------------------------------------------

// clang-format off
enum class Hook {
    BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert, BeforeEdit,
    AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete,
    BeforeScroll, AfterScroll, OnNewRecord, OnCalcFields, OnFilterRecord, OnNeedToSaveChange,
    FieldChange, FieldValidate, FieldGetText, FieldSetText,
    SourceDataChange, SourceStateChange, SourceUpdateData,
    LinkActiveChange, LinkCheckBrowse, LinkDatasetChange, LinkDatasetScroll, LinkEditingChange,
    LinkRecordChange, LinkUpdateData, LinkLayoutChange, LinkFocusControl,
    FieldLinkDataChange, FieldLinkEditingChange, FieldLinkUpdateData, FieldLinkActiveChange,
    FieldLinkFocusControl,
    Count
};

const char* const kHookNames[] = {
    "BeforeOpen", "AfterOpen", "BeforeClose", "AfterClose", "BeforeInsert", "AfterInsert",
    "BeforeEdit", "AfterEdit", "BeforePost", "AfterPost", "BeforeCancel", "AfterCancel",
    "BeforeDelete", "AfterDelete", "BeforeScroll", "AfterScroll", "OnNewRecord", "OnCalcFields",
    "OnFilterRecord", "OnNeedToSaveChange",
    "Field.OnChange", "Field.OnValidate", "Field.OnGetText", "Field.OnSetText",
    "Source.OnDataChange", "Source.OnStateChange", "Source.OnUpdateData",
    "Link.activeChange", "Link.checkBrowse", "Link.datasetChange", "Link.datasetScroll",
    "Link.editingChange", "Link.recordChange", "Link.updateData", "Link.layoutChange",
    "Link.focusControl",
    "FieldLink.OnDataChange", "FieldLink.OnEditingChange", "FieldLink.OnUpdateData",
    "FieldLink.OnActiveChange", "FieldLink.OnFocusControl"};
static_assert(std::size(kHookNames) == static_cast<size_t>(Hook::Count));

enum class Action {
    Close, Cancel, MoveFirst, MoveNext, MoveLast, DetachLink, SourceToNone, FreeLink,
    FreeOtherLink, FreeSource, RaiseError, RaiseAbort, Count
};

const char* const kActionNames[] = {
    "close", "cancel", "moveFirst", "moveNext", "moveLast", "detach link", "source to none",
    "free link", "free other link", "free source", "raise error", "raise abort"};
static_assert(std::size(kActionNames) == static_cast<size_t>(Action::Count));

enum class Trigger {
    Open, Close, Insert, Append, Edit, Post, PostInsert, PostMissingValue, Cancel, Delete, Next,
    NextWhileEditing, Prior, First, Last, MoveBy, RecordNumber, Bookmark, Locate, SetFiltered,
    Refresh, SetText, Layout, Count
};

const char* const kTriggerNames[] = {
    "open", "close", "beginInsert", "beginAppend", "beginEdit", "post edit", "post insert",
    "post without a required value", "cancel", "delete", "moveNext", "moveNext while editing",
    "movePrior", "moveFirst", "moveLast", "moveBy(2)", "moveToRecordNumber", "gotoBookmark",
    "locate", "setFiltered", "refresh", "setEditText", "setDisplayWidth"};
static_assert(std::size(kTriggerNames) == static_cast<size_t>(Trigger::Count));
// clang-format on

const std::vector<AnsiString> kNames = {"Pasta di semola", "Olio extravergine d'oliva",
                                        "Pomodori maturi", "Parmigiano",
                                        "Latte intero pastorizzato di alta qualit\xE0"};

// --- The case being run ---------------------------------------------------------------------

class Case;

// A link that reads the rows of its window like a grid does, then tells the case.
class ActionLink : public TDataLink {
public:
    ActionLink(Case& c, bool visual) : case_(c) { setVisualControl(visual); }

protected:
    void notifyActiveChange() override;
    void notifyCheckBrowse() override;
    void notifyDatasetChange() override;
    void notifyDatasetScroll(int distance) override;
    void notifyEditingChange() override;
    void notifyFocusControl(TField** fieldRef) override;
    void notifyLayoutChange() override;
    void notifyRecordChange(TField* field) override;
    void requestUpdateData() override;

private:
    void readRows();
    Case& case_;
};

class Case {
public:
    Case(const std::string& path, bool declaredFields, Hook hook, Action action)
        : hook_(hook), action_(action) {
        table.setName("Table1");
        table.setTableName(path);
        if (declaredFields) {
            auto* nome = new TStringField(&table);
            nome->setFieldName("Nome");
            nome->setSize(50);
            nome->setDataSet(&table);
            auto* quantita = new TFloatField(&table);
            quantita->setFieldName("Quantita");
            quantita->setDataSet(&table);
            auto* doppia = new TFloatField(&table);
            doppia->setFieldName("Doppia");
            doppia->setFieldKind(fkCalculated);
            doppia->setDataSet(&table);
            table.OnCalcFields = [this](TDataSet* ds) {
                if (TField* q = ds->findField("Quantita"))
                    ds->fieldByName("Doppia")->setFloatValue(q->floatValue() * 2);
                fire(Hook::OnCalcFields);
            };
        }
        hookDataSet();
        source = new TDataSource();
        source->setName("DataSource1");
        source->setDataSet(&table);
        source->OnDataChange = [this](TDataSource*, TField*) { fire(Hook::SourceDataChange); };
        source->OnStateChange = [this](TDataSource*) { fire(Hook::SourceStateChange); };
        source->OnUpdateData = [this](TDataSource*) { fire(Hook::SourceUpdateData); };
        grid = new ActionLink(*this, true);
        grid->setBufferCount(3);
        grid->setDataSource(source);
        follower = new ActionLink(*this, false);
        follower->setDataSource(source);
        fieldLink = new TFieldDataLink();
        fieldLink->setFieldName("Nome");
        fieldLink->OnDataChange = [this] {
            // A control shows the field's text.
            TFieldDataLink* l = fieldLink;
            if (l && l->field())
                l->field()->displayText();
            fire(Hook::FieldLinkDataChange);
        };
        fieldLink->OnEditingChange = [this] { fire(Hook::FieldLinkEditingChange); };
        fieldLink->OnUpdateData = [this] {
            TFieldDataLink* l = fieldLink;
            if (l && l->field())
                l->field()->setStringValue("Dal controllo");
            fire(Hook::FieldLinkUpdateData);
        };
        fieldLink->OnActiveChange = [this] { fire(Hook::FieldLinkActiveChange); };
        fieldLink->OnFocusControl = [this] {
            fire(Hook::FieldLinkFocusControl);
            return false;
        };
        fieldLink->setDataSource(source);
    }

    ~Case() {
        armed_ = false;
        delete fieldLink;
        delete follower;
        delete grid;
        delete source;
    }

    // Field events go on the fields the table has now (default fields come with the open).
    void hookFields() {
        TField* nome = table.findField("Nome");
        if (!nome)
            return;
        nome->OnChange = [this](TField*) { fire(Hook::FieldChange); };
        nome->OnValidate = [this](TField*) { fire(Hook::FieldValidate); };
        nome->OnGetText = [this](TField* f, AnsiString& text, bool) {
            text = f->stringValue();
            fire(Hook::FieldGetText);
        };
        nome->OnSetText = [this](TField* f, const AnsiString& text) {
            f->setStringValue(text);
            fire(Hook::FieldSetText);
        };
    }

    void arm() { armed_ = true; }
    void disarm() { armed_ = false; }
    bool fired() const { return fired_; }

    // Runs the action when the armed hook is the one that came.
    void fire(Hook hook, TDataLink* from = nullptr) {
        if (!armed_ || hook != hook_)
            return;
        armed_ = false;
        fired_ = true;
        act(from);
    }

    TZerovTable table;
    TDataSource* source = nullptr;
    ActionLink* grid = nullptr;
    ActionLink* follower = nullptr;
    TFieldDataLink* fieldLink = nullptr;
    TBookmark bookmark = nullptr;

    // The links still alive.
    std::vector<TDataLink*> links() const {
        std::vector<TDataLink*> all;
        for (TDataLink* l : {static_cast<TDataLink*>(grid), static_cast<TDataLink*>(follower),
                             static_cast<TDataLink*>(fieldLink)})
            if (l)
                all.push_back(l);
        return all;
    }

private:
    void hookDataSet() {
        auto hook = [this](TDataSet::TDataSetNotifyEvent& event, Hook h) {
            event = [this, h](TDataSet*) { fire(h); };
        };
        hook(table.BeforeOpen, Hook::BeforeOpen);
        hook(table.AfterOpen, Hook::AfterOpen);
        hook(table.BeforeClose, Hook::BeforeClose);
        hook(table.AfterClose, Hook::AfterClose);
        hook(table.BeforeInsert, Hook::BeforeInsert);
        hook(table.AfterInsert, Hook::AfterInsert);
        hook(table.BeforeEdit, Hook::BeforeEdit);
        hook(table.AfterEdit, Hook::AfterEdit);
        hook(table.BeforePost, Hook::BeforePost);
        hook(table.AfterPost, Hook::AfterPost);
        hook(table.BeforeCancel, Hook::BeforeCancel);
        hook(table.AfterCancel, Hook::AfterCancel);
        hook(table.BeforeDelete, Hook::BeforeDelete);
        hook(table.AfterDelete, Hook::AfterDelete);
        hook(table.BeforeScroll, Hook::BeforeScroll);
        hook(table.AfterScroll, Hook::AfterScroll);
        hook(table.OnNewRecord, Hook::OnNewRecord);
        table.OnFilterRecord = [this](TDataSet*, bool& accept) {
            accept = true;
            fire(Hook::OnFilterRecord);
        };
        table.OnNeedToSaveChange = [this](DOvuzaZerivir*) { fire(Hook::OnNeedToSaveChange); };
    }

    // The link an action on "the link" works on: the one whose notification runs, else the
    // grid's.
    TDataLink* subjectLink(TDataLink* from) const {
        if (from)
            return from;
        if (hook_ >= Hook::FieldLinkDataChange)
            return fieldLink;
        return grid;
    }

    void freeLink(TDataLink* link) {
        if (link == grid)
            grid = nullptr;
        else if (link == follower)
            follower = nullptr;
        else if (link == fieldLink)
            fieldLink = nullptr;
        delete link;
    }

    void act(TDataLink* from) {
        switch (action_) {
        case Action::Close:
            table.close();
            break;
        case Action::Cancel:
            table.cancelRecord();
            break;
        case Action::MoveFirst:
            table.moveFirst();
            break;
        case Action::MoveNext:
            table.moveNext();
            break;
        case Action::MoveLast:
            table.moveLast();
            break;
        case Action::DetachLink:
            if (TDataLink* l = subjectLink(from))
                l->setDataSource(nullptr);
            break;
        case Action::SourceToNone:
            if (source)
                source->setDataSet(nullptr);
            break;
        case Action::FreeLink:
            if (TDataLink* l = subjectLink(from))
                freeLink(l);
            break;
        case Action::FreeOtherLink: {
            // A link that has not heard the notification yet, or has heard it already.
            TDataLink* subject = subjectLink(from);
            TDataLink* other = subject == follower ? static_cast<TDataLink*>(grid) : follower;
            if (other)
                freeLink(other);
            break;
        }
        case Action::FreeSource:
            delete source;
            source = nullptr;
            break;
        case Action::RaiseError:
            databaseError("Refused by the handler");
        case Action::RaiseAbort:
            abortSilently();
        case Action::Count:
            break;
        }
    }

    Hook hook_;
    Action action_;
    bool armed_ = false;
    bool fired_ = false;
};

void ActionLink::readRows() {
    TDataSet* ds = dataSet();
    if (!ds || !Active())
        return;
    const int saved = activeRecord();
    for (int i = 0; i < recordCount(); ++i) {
        setActiveRecord(i);
        for (TField* f : ds->Fields())
            f->stringValue();
    }
    setActiveRecord(saved);
}

void ActionLink::notifyActiveChange() {
    case_.fire(Hook::LinkActiveChange, this);
}
void ActionLink::notifyCheckBrowse() {
    case_.fire(Hook::LinkCheckBrowse, this);
}
void ActionLink::notifyDatasetChange() {
    readRows();
    case_.fire(Hook::LinkDatasetChange, this);
}
void ActionLink::notifyDatasetScroll(int) {
    readRows();
    case_.fire(Hook::LinkDatasetScroll, this);
}
void ActionLink::notifyEditingChange() {
    case_.fire(Hook::LinkEditingChange, this);
}
void ActionLink::notifyFocusControl(TField**) {
    case_.fire(Hook::LinkFocusControl, this);
}
void ActionLink::notifyLayoutChange() {
    readRows();
    case_.fire(Hook::LinkLayoutChange, this);
}
void ActionLink::notifyRecordChange(TField*) {
    readRows();
    case_.fire(Hook::LinkRecordChange, this);
}
void ActionLink::requestUpdateData() {
    case_.fire(Hook::LinkUpdateData, this);
}

// --- Running one case -----------------------------------------------------------------------

// Puts the table where the operation starts (no hook armed yet).
void prepare(Case& c, Trigger trigger) {
    TZerovTable& t = c.table;
    switch (trigger) {
    case Trigger::Open:
        t.close();
        break;
    case Trigger::Post:
    case Trigger::Cancel:
    case Trigger::NextWhileEditing:
        t.beginEdit();
        t.fieldByName("Quantita")->setFloatValue(5);
        break;
    case Trigger::PostInsert:
        t.beginInsert();
        t.fieldByName("Nome")->setStringValue("Nuovo");
        break;
    case Trigger::PostMissingValue:
        // The post fails; first the control of the missing field is asked to take the focus.
        t.fieldByName("Nome")->setRequired(true);
        t.beginInsert();
        break;
    case Trigger::Bookmark:
        t.moveLast();
        c.bookmark = t.getBookmark();
        t.moveFirst();
        break;
    case Trigger::Delete:
    case Trigger::Prior:
    case Trigger::First:
        t.moveNext();
        t.moveNext();
        break;
    case Trigger::SetText:
        t.beginEdit();
        break;
    default:
        break;
    }
    // The field's control holds typed text that a post collects.
    if ((t.State() == stateEdit || t.State() == stateInsert) && c.fieldLink &&
        trigger != Trigger::PostMissingValue)
        c.fieldLink->markModified();
}

void runTrigger(Case& c, Trigger trigger) {
    TZerovTable& t = c.table;
    switch (trigger) {
    case Trigger::Open:
        t.open();
        break;
    case Trigger::Close:
        t.close();
        break;
    case Trigger::Insert:
        t.beginInsert();
        break;
    case Trigger::Append:
        t.beginAppend();
        break;
    case Trigger::Edit:
        t.beginEdit();
        break;
    case Trigger::Post:
    case Trigger::PostInsert:
    case Trigger::PostMissingValue:
        t.postRecord();
        break;
    case Trigger::Cancel:
        t.cancelRecord();
        break;
    case Trigger::Delete:
        t.deleteRecord();
        break;
    case Trigger::Next:
    case Trigger::NextWhileEditing:
        t.moveNext();
        break;
    case Trigger::Prior:
        t.movePrior();
        break;
    case Trigger::First:
        t.moveFirst();
        break;
    case Trigger::Last:
        t.moveLast();
        break;
    case Trigger::MoveBy:
        t.moveByDistance(2);
        break;
    case Trigger::RecordNumber:
        t.moveToRecordNumber(4);
        break;
    case Trigger::Bookmark:
        t.gotoBookmark(c.bookmark);
        break;
    case Trigger::Locate:
        t.locate("Nome", TVariant(AnsiString("Parmigiano")), TLocateOptions());
        break;
    case Trigger::SetFiltered:
        t.setFiltered(true);
        break;
    case Trigger::Refresh:
        t.refresh();
        break;
    case Trigger::SetText:
        t.fieldByName("Nome")->setEditText("Scritto");
        break;
    case Trigger::Layout:
        t.fieldByName("Nome")->setDisplayWidth(33);
        break;
    case Trigger::Count:
        break;
    }
}

// What is wrong with the dataset, its source and its links; empty when nothing is. An error
// that stopped a fetch may leave the window empty although there are records (the next move
// fills it); nothing else is excused.
std::string inconsistency(Case& c, bool raised = false) {
    TZerovTable& t = c.table;
    const DatasetState s = t.State();
    if (s != stateInactive && s != stateBrowse && s != stateEdit && s != stateInsert)
        return "state " + std::to_string(s);
    if (t.Active() != (s != stateInactive))
        return "Active does not match the state";
    if (s == stateInactive) {
        if (t.filledCount() != 0 || !t.atBeginning() || !t.atEnd())
            return "a closed dataset keeps a window";
    } else {
        if (t.bufferCount() < 1 || t.filledCount() < 0 || t.filledCount() > t.bufferCount())
            return "window of " + std::to_string(t.filledCount()) + " in " +
                   std::to_string(t.bufferCount());
        if (t.filledCount() > 0 && (t.activeIndex() < 0 || t.activeIndex() >= t.filledCount()))
            return "active index outside the window";
        if (t.filledCount() > 0 && t.atBeginning() && t.activeIndex() != 0)
            return "at the beginning on a record after the first of the window";
        if (t.filledCount() > 0 && t.atEnd() && t.activeIndex() != t.filledCount() - 1)
            return "at the end on a record before the last of the window";
        if (s == stateBrowse && t.filledCount() > 0 && t.recordCount() == 0)
            return "the window shows records the view does not have";
        if (s == stateBrowse && t.filledCount() == 0 && t.recordCount() > 0 && !raised)
            return "an empty window over records";
        if (s == stateBrowse && t.filledCount() > 0 && t.recordNumber() < 1)
            return "browsing without a record number";
        int wanted = 1;
        for (TDataLink* l : c.links())
            if (l->DataSource() && l->DataSource()->DataSet() == &t)
                wanted = std::max(wanted, l->BufferCount());
        if (t.bufferCount() != wanted)
            return "buffer count " + std::to_string(t.bufferCount()) + ", links ask for " +
                   std::to_string(wanted);
        if (t.filledCount() > 0)
            for (TField* f : t.Fields())
                f->displayText();
    }
    if (c.source) {
        const DatasetState expected =
            c.source->DataSet() ? c.source->DataSet()->State() : stateInactive;
        if (c.source->State() != expected)
            return "the source's state does not follow the dataset";
    }
    for (TDataLink* l : c.links()) {
        const bool shouldBeActive = l->DataSource() && l->DataSource()->State() != stateInactive;
        if (l->Active() != shouldBeActive)
            return "a link's active flag is stale";
        if (l->firstVisible() < 0 || l->recordCount() > l->BufferCount() || l->recordCount() < 0)
            return "a link counts more records than it shows";
        if (l->Active() && l->recordCount() > 0 &&
            (l->activeRecord() < 0 || l->activeRecord() >= l->recordCount()))
            return "a link's active record is outside its rows";
    }
    return {};
}

// Every operation of a link that lost its source answers harmlessly.
void exerciseSourcelessLinks(Case& c) {
    for (TDataLink* l : c.links()) {
        if (l->DataSource())
            continue;
        EXPECT_EQ(l->activeRecord(), 0);
        EXPECT_EQ(l->recordCount(), 0);
        EXPECT_FALSE(l->edit());
        EXPECT_EQ(l->moveByDistance(1), 0);
        EXPECT_TRUE(l->atBeginning());
        EXPECT_TRUE(l->atEnd());
        l->setActiveRecord(1);
        l->setBufferCount(4);
        l->setBufferCount(1);
        l->collectPendingEdit();
        EXPECT_FALSE(l->Active());
    }
}

// Close and open bring back the file's records, browsable through every link.
std::string recovery(Case& c) {
    TZerovTable& t = c.table;
    if (t.State() == stateEdit || t.State() == stateInsert)
        t.cancelRecord();
    t.close();
    t.setFiltered(false);
    t.open();
    if (t.State() != stateBrowse)
        return "not browsing after reopening";
    if (t.recordCount() != static_cast<int>(kNames.size()))
        return "reopened with " + std::to_string(t.recordCount()) + " records";
    std::vector<AnsiString> names;
    for (t.moveFirst(); !t.atEnd(); t.moveNext())
        names.push_back(t.fieldByName("Nome")->stringValue());
    if (names != kNames)
        return "reopened with other records";
    t.moveLast();
    if (t.fieldByName("Nome")->stringValue() != kNames.back() || !t.atEnd())
        return "moveLast after reopening";
    return inconsistency(c);
}

struct Tally {
    int cases = 0;
    int fired = 0;
    std::set<Hook> firedHooks;
    std::vector<std::string> failures;
};

void runCase(const std::string& path, bool declaredFields, Hook hook, Action action,
             Trigger trigger, Tally& tally) {
    const std::string name = std::string(kHookNames[static_cast<int>(hook)]) + " x " +
                             kActionNames[static_cast<int>(action)] + " x " +
                             kTriggerNames[static_cast<int>(trigger)];
    static const bool verbose = std::getenv("CIBRANO_HANDLER_CASES") != nullptr;
    if (verbose)
        std::cerr << name << std::endl;
    ++tally.cases;
    Case c(path, declaredFields, hook, action);
    c.table.open();
    c.hookFields();
    prepare(c, trigger);
    c.arm();
    bool raised = false;
    try {
        runTrigger(c, trigger);
    } catch (const EAbort&) {
        raised = true;
    } catch (const EDatabaseError&) {
        raised = true;
    }
    c.disarm();
    if (c.fired()) {
        ++tally.fired;
        tally.firedHooks.insert(hook);
    }
    std::string problem = inconsistency(c, raised);
    exerciseSourcelessLinks(c);
    if (problem.empty()) {
        try {
            problem = recovery(c);
        } catch (const std::exception& e) {
            problem = std::string("recovery raised: ") + e.what();
        }
    }
    if (!problem.empty())
        tally.failures.push_back(name + ": " + problem);
}

class HandlerReentrancy : public ZerovTableFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(HandlerReentrancy, EveryHandlerTimesEveryActionLeavesARecoverableDataset) {
    const std::string path = copyGolden("food-plain.d", "cases.d");
    const bool declaredFields = GetParam();
    Tally tally;
    for (int h = 0; h < static_cast<int>(Hook::Count); ++h) {
        // Default fields are made from the file: there is no calculated field.
        if (!declaredFields && static_cast<Hook>(h) == Hook::OnCalcFields)
            continue;
        for (int a = 0; a < static_cast<int>(Action::Count); ++a)
            for (int g = 0; g < static_cast<int>(Trigger::Count); ++g)
                runCase(path, declaredFields, static_cast<Hook>(h), static_cast<Action>(a),
                        static_cast<Trigger>(g), tally);
    }
    std::cout << "[ handler x action x operation cases: " << tally.cases << ", of which "
              << tally.fired << " ran the action ]" << std::endl;
    // Every hook is reached by some operation.
    for (int h = 0; h < static_cast<int>(Hook::Count); ++h)
        if (declaredFields || static_cast<Hook>(h) != Hook::OnCalcFields) {
            EXPECT_TRUE(tally.firedHooks.count(static_cast<Hook>(h))) << kHookNames[h];
        }
    for (size_t i = 0; i < std::min<size_t>(tally.failures.size(), 40); ++i)
        ADD_FAILURE() << tally.failures[i];
    EXPECT_EQ(tally.failures.size(), 0u);
}

// The table dataset's count of unsaved changes and its records after handlers ended an edit.
class HandlerEndings : public ZerovTableFixture {
protected:
    HandlerEndings() {
        t.setName("Table1");
        t.setTableName(copyGolden("food-plain.d", "endings.d"));
        t.open();
    }
    TZerovTable t;
};

TEST_F(HandlerEndings, AnInsertOrEditThatAHandlerEndsCountsNoChange) {
    t.BeforeScroll = [](TDataSet*) { abortSilently(); };
    EXPECT_THROW(t.beginInsert(), EAbort);
    EXPECT_THROW(t.beginAppend(), EAbort);
    EXPECT_EQ(t.changeCount(), 0);
    t.BeforeScroll = nullptr;

    // Closing from the unsaved-change event that the start of an edit raises.
    t.OnNeedToSaveChange = [](DOvuzaZerivir* d) {
        if (d->changeCount() > 0)
            d->close();
    };
    t.beginEdit();
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.changeCount(), 0);
    t.open();
    t.beginInsert();
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_FALSE(t.hasUnsavedChanges());
}

TEST_F(HandlerEndings, AValueWhoseValidationMovesOnIsNotWrittenIntoAnotherRecord) {
    TField* nome = t.fieldByName("Nome");
    nome->OnValidate = [](TField* f) { f->DataSet()->moveNext(); };
    t.beginEdit();
    nome->setStringValue("Scritto");
    EXPECT_EQ(t.State(), stateBrowse);
    nome->OnValidate = nullptr;
    EXPECT_EQ(column(t, "Nome"), kNames) << "neither record took the value";
}

TEST_F(HandlerEndings, ARefreshOrFilterWhoseHandlerClosesLeavesAClosedTable) {
    t.BeforeScroll = [](TDataSet* d) { d->close(); };
    t.refresh();
    EXPECT_FALSE(t.Active());
    t.open();
    t.setFiltered(true);
    EXPECT_FALSE(t.Active());
    EXPECT_TRUE(t.Filtered()) << "the setting waits for the next open";
    t.BeforeScroll = nullptr;
    t.open();
    EXPECT_EQ(t.recordCount(), 5);
}

INSTANTIATE_TEST_SUITE_P(Fields, HandlerReentrancy, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Declared" : "Default";
                         });

} // namespace
} // namespace cibrano::testing
