#pragma once
// Records what a dataset, its data source and a data link are told, in one ordered log, so
// that tests can compare notification sequences.

#include "dataset/DataLink.h"
#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "dataset/Field.h"

#include <string>
#include <vector>

namespace cibrano::testkit {

struct EventLog {
    std::vector<std::string> entries;
    void add(const std::string& entry) { entries.push_back(entry); }
    void clear() { entries.clear(); }
};

class RecordingLink : public TDataLink {
public:
    RecordingLink(EventLog& log, std::string name, bool visual = true)
        : log_(log), name_(std::move(name)) {
        setVisualControl(visual);
    }

    // Run when the link is asked for its pending value.
    std::function<void()> onUpdateData;

protected:
    void notifyActiveChange() override { add(Active() ? "active" : "inactive"); }
    void notifyCheckBrowse() override { add("checkBrowse"); }
    void notifyDatasetChange() override { add("datasetChange"); }
    void notifyDatasetScroll(int distance) override {
        add("scroll(" + std::to_string(distance) + ")");
    }
    void notifyEditingChange() override { add(Editing() ? "editing" : "notEditing"); }
    void notifyFocusControl(TField** ref) override {
        add("focus(" + ((ref && *ref) ? (*ref)->FieldName() : std::string()) + ")");
    }
    void notifyLayoutChange() override { add("layout"); }
    void notifyRecordChange(TField* field) override {
        add(field ? "record(" + field->FieldName() + ")" : "record");
    }
    void requestUpdateData() override {
        add("updateData");
        if (onUpdateData)
            onUpdateData();
    }

private:
    void add(const std::string& what) { log_.add(name_ + "." + what); }
    EventLog& log_;
    std::string name_;
};

inline void recordDataSetEvents(TDataSet& ds, EventLog& log) {
    auto hook = [&log](TDataSet::TDataSetNotifyEvent& e, const char* name) {
        e = [&log, name](TDataSet*) { log.add(name); };
    };
    hook(ds.BeforeOpen, "BeforeOpen");
    hook(ds.AfterOpen, "AfterOpen");
    hook(ds.BeforeClose, "BeforeClose");
    hook(ds.AfterClose, "AfterClose");
    hook(ds.BeforeInsert, "BeforeInsert");
    hook(ds.AfterInsert, "AfterInsert");
    hook(ds.BeforeEdit, "BeforeEdit");
    hook(ds.AfterEdit, "AfterEdit");
    hook(ds.BeforePost, "BeforePost");
    hook(ds.AfterPost, "AfterPost");
    hook(ds.BeforeCancel, "BeforeCancel");
    hook(ds.AfterCancel, "AfterCancel");
    hook(ds.BeforeDelete, "BeforeDelete");
    hook(ds.AfterDelete, "AfterDelete");
    hook(ds.BeforeScroll, "BeforeScroll");
    hook(ds.AfterScroll, "AfterScroll");
    hook(ds.OnNewRecord, "OnNewRecord");
}

inline void recordSourceEvents(TDataSource& source, EventLog& log) {
    source.OnDataChange = [&log](TDataSource*, TField* f) {
        log.add(f ? "DataChange(" + f->FieldName() + ")" : "DataChange");
    };
    source.OnStateChange = [&log](TDataSource*) { log.add("StateChange"); };
    source.OnUpdateData = [&log](TDataSource*) { log.add("UpdateData"); };
}

} // namespace cibrano::testkit
