// The record set that one batch query brought back: record lines in the server's order plus the
// field list of the query. The caller steps through the records and reads fields by code.
#pragma once

#include "toolkit/StringList.h"

#include <string>

class cBatchSet
{
public:
    // records: one comma-text line per record ("num1,num2,seq,value0,value1,..."); fieldList: the
    // comma-text of the field codes, in the order of the values. Never fails.
    cBatchSet(const cStringList &records, const std::string &fieldList, const std::string &tableName);
    cBatchSet(const cBatchSet &) = delete;
    cBatchSet &operator=(const cBatchSet &) = delete;

    // Makes the record at index current; false (and ErrorText) when out of range or short.
    bool GoTo(int index);
    // False when there are no records, else GoTo(0).
    bool First();
    // Advances; at the end reloads the last record and returns false.
    bool Next();
    // Value of a field of the current record by code ("f22", "F22" or "22"); "" when it cannot
    // be given, with ErrorText saying why. "||" in the value comes back as CR LF.
    std::string GetField(const std::string &code);

    cStringList Records;
    int CurrentIndex = 0;
    cStringList CurrentValues;
    std::string TableName;
    // Sorted ignoring case; each code's slot holds its position in the field list.
    cStringList FieldNames;
    int RecordCount = 0;
    int NextPosition = 0;
    int RecordNumber1 = 0;
    std::string RecordSeq;
    int RecordNumber2 = 0;
    std::string ErrorText;
};
