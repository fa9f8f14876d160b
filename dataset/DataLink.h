#pragma once
// TDataLink: the object through which a control (the grid, the find box) or a detail dataset
// follows a dataset. It sees a window of `BufferCount` records inside the dataset's buffer
// window, starting at its first visible index, and hears the dataset's notifications through
// its data source. Derived links override the notify operations.

#include "dataset/DataSetTypes.h"
#include "dataset/LifeMark.h"

#include <cstdint>

namespace cibrano {

class TDataSet;
class TDataSource;
class TField;

class TDataLink {
public:
    TDataLink();
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return dataSource_; }
    // Leaves the old source and joins the new one; "DataSource cannot be changed" for a
    // source-fixed link.
    void setDataSource(TDataSource* source);
    TDataSet* dataSet() const;

    bool Active() const { return active_; }
    virtual bool Editing() const { return editing_; }
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool value);
    bool isUpdating() const { return updating_; }
    bool SourceFixed() const { return sourceFixed_; }
    void setSourceFixed(bool value) { sourceFixed_ = value; }
    bool VisualControl() const { return visualControl_; }
    void setVisualControl(bool value) { visualControl_ = value; }
    int firstVisible() const { return firstVisible_; }

    // The link's window: how many records it shows, which of them is the dataset's active
    // record, and how many of them hold records.
    virtual int BufferCount() const { return bufferCount_; }
    virtual void setBufferCount(int count);
    virtual int activeRecord() const;
    virtual void setActiveRecord(int index);
    virtual int recordCount() const;

    // Asks the data source to put the dataset into edit state; answers whether the link is
    // then editing.
    virtual bool edit();
    virtual bool atBeginning() const;
    virtual bool atEnd() const;
    virtual int moveByDistance(int distance);
    // Writes the control's pending value into the field (the updating flag is set meanwhile,
    // so that the resulting field change is not echoed back to this link).
    void collectPendingEdit();

    // The dispatcher of the notifications that reach the link.
    virtual void deliverDataEvent(DataEventKind kind, intptr_t info);

protected:
    virtual void notifyActiveChange() {}
    virtual void notifyCheckBrowse() {}
    virtual void notifyDatasetChange();
    virtual void notifyDatasetScroll(int distance);
    virtual void notifyEditingChange() {}
    virtual void notifyFocusControl(TField** fieldRef) { (void)fieldRef; }
    virtual void notifyLayoutChange();
    virtual void notifyRecordChange(TField* field) { (void)field; }
    virtual void requestUpdateData() {}

    void updateState();
    // Tells whether this link survived the handlers run after the watch was taken.
    TLifeMark::Watch watchLife() const { return lifeMark_.watch(); }

private:
    friend class TDataSet;
    friend class TDataSource;

    void setActive(bool value);
    void setEditing(bool value);
    void updateRange();

    TDataSource* dataSource_ = nullptr;
    TDataLink* next_ = nullptr; // the dataset's chain through all its links
    int firstVisible_ = 0;
    int bufferCount_ = 1;
    bool active_ = false;
    bool editing_ = false;
    bool readOnly_ = false;
    bool updating_ = false;
    bool sourceFixed_ = false;
    bool visualControl_ = false;
    TLifeMark lifeMark_;
};

} // namespace cibrano
