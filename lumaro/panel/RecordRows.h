// A list box showing a list of records: one row per record, in order, each row's
// user data the record. The host may refuse a row, and making a row's text may
// fail; a record without its row would be counted, looked up or acted on unseen,
// so it goes, with every record after it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "frame/Suites.h"

// Deletes the records from position `from` on and takes them off the list.
template <typename Record>
void DropRecordsFrom(std::vector<Record*>& records, std::size_t from) {
    while (records.size() > from) {
        Record* record = records.back();
        records.back() = nullptr;
        records.pop_back();
        delete record;
    }
}

// Keeps the records at the ascending positions `kept`, in order; deletes the others.
template <typename Record>
void KeepRecordsAt(std::vector<Record*>& records, const std::vector<std::size_t>& kept) {
    std::size_t next = 0;
    std::size_t written = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        Record* record = records[i];
        records[i] = nullptr;
        if (next < kept.size() && kept[next] == i) {
            ++next;
            records[written++] = record;
        } else {
            delete record;
        }
    }
    records.resize(written);
}

// Shows the records through `rowAt(i)`, the row for display position i or null,
// with the text `textOf(record, text)` writes into one buffer kept for every row. True when every
// record got its row. `listGone()` tells that the host destroyed the list box's dialog meanwhile:
// no row is left to give a record.
template <typename Record, typename RowAt, typename TextOf, typename ListGone>
bool ShowRecords(std::vector<Record*>& records, RowAt&& rowAt, TextOf&& textOf,
                 ListGone&& listGone) {
    int row = 0;
    std::string text;
    for (std::size_t i = 0; i < records.size(); ++i) {
        Record* record = records[i];
        if (record == nullptr) continue;
        try {
            // The text first: a row is not taken for a record that cannot be shown.
            textOf(*record, text);
            ADMEntryRef entry = rowAt(row);
            if (entry == nullptr) {
                DropRecordsFrom(records, i);
                return false;
            }
            ++row;
            g_admEntry->SetText(entry, text.c_str());
            if (listGone()) {
                DropRecordsFrom(records, i);
                return false;
            }
            g_admEntry->SetUserData(entry, record);
        } catch (...) {
            DropRecordsFrom(records, i);
            return false;
        }
    }
    return true;
}
