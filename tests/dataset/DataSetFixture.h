#pragma once
// A food table in memory with a data source, a recording link and every event hooked.

#include "../platform/ErrorMessage.h"
#include "EventLog.h"
#include "MemoryDataSet.h"

#include "dataset/FloatField.h"
#include "dataset/StringField.h"
#include "platform/RegionalSettings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace cibrano::testkit {

using Log = std::vector<std::string>;

class DataSetFixture : public ::testing::Test {
protected:
    DataSetFixture() {
        setRegional(RegionalSettings{}); // "." decimals, "," thousands
        ds.setName("Table1");
        ds.addColumn("Nome", ftString, 50);
        ds.addColumn("Quantita", ftFloat);
    }

    void addRows(int count) {
        for (int i = 1; i <= count; ++i)
            ds.addRow({("Food " + std::to_string(i)).c_str(), i * 10.0});
    }

    // Opens with the link attached and every event recorded; the log starts empty.
    void openRecorded(int linkBuffers = 1) {
        src.setDataSet(&ds);
        link.setBufferCount(linkBuffers);
        link.setDataSource(&src);
        recordDataSetEvents(ds, log);
        recordSourceEvents(src, log);
        ds.open();
        log.clear();
    }

    TField* nome() { return ds.fieldByName("Nome"); }
    TField* quantita() { return ds.fieldByName("Quantita"); }
    // The Nome of every record, first to last (the current record ends up the last).
    std::vector<std::string> allNames() {
        std::vector<std::string> names;
        for (ds.moveFirst(); !ds.atEnd(); ds.moveNext())
            names.push_back(nome()->stringValue());
        return names;
    }
    // The Nome of the record in link-relative row `row`.
    std::string rowName(int row) {
        int saved = link.activeRecord();
        link.setActiveRecord(row);
        std::string name = nome()->stringValue();
        link.setActiveRecord(saved);
        return name;
    }

    TMemoryDataSet ds;
    TDataSource src;
    EventLog log;
    RecordingLink link{log, "link"};
};

} // namespace cibrano::testkit
