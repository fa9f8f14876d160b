#pragma once
// TDataSource: stands between one dataset and any number of data links. Every notification
// of the dataset reaches the links through it, and it turns some of them into its events.

#include "dataset/DataSetTypes.h"
#include "dataset/LifeMark.h"
#include "platform/Component.h"

#include <functional>
#include <vector>

namespace cibrano {

class TDataLink;
class TDataSet;
class TField;

class TDataSource : public TComponent {
public:
    using TNotifyEvent = std::function<void(TDataSource*)>;
    using TDataChangeEvent = std::function<void(TDataSource*, TField*)>;

    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return dataSet_; }
    // "Circular datalinks are not allowed" when the dataset, through its master sources,
    // follows this very source.
    void setDataSet(TDataSet* dataSet);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool value);
    bool AutoEdit() const { return autoEdit_; }
    void setAutoEdit(bool value) { autoEdit_ = value; }
    // The dataset's state; stateInactive while disabled or without a dataset.
    DatasetState State() const { return state_; }

    TNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange; // the field only for a field change
    TNotifyEvent OnUpdateData;

    // Puts a browsing dataset into edit state when AutoEdit is set.
    void edit();
    // Whether `dataSet`, following master sources upward, reaches this source.
    bool isLinkedTo(TDataSet* dataSet) const;

    int linkCount() const { return static_cast<int>(links_.size()); }
    TDataLink* link(int index) const { return links_.at(static_cast<size_t>(index)); }

protected:
    void notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;

    void updateState();
    void deliverEvent(DataEventKind kind, intptr_t info);
    // The links of one kind (visual controls or not), last attached first.
    void deliverToLinks(DataEventKind kind, intptr_t info, bool visual);
    // OnDataChange or OnUpdateData for a notification the links have heard.
    void raiseOwnEvent(DataEventKind kind, intptr_t info);
    void addLink(TDataLink* link);
    void removeLink(TDataLink* link);

    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    DatasetState state_ = stateInactive;
    std::vector<TDataLink*> links_;
    TLifeMark lifeMark_;
};

} // namespace cibrano
