#include "dataclient/cBatchSet.h"

#include "dataclient/DebugSwitches.h"
#include "dataclient/FieldCodes.h"
#include "toolkit/DateTime.h"
#include "toolkit/Host.h"

cBatchSet::cBatchSet(const cStringList &records, const std::string &fieldList, const std::string &tableName)
    : TableName(tableName)
{
    Records.Assign(records);
    FieldNames.SetCommaText(fieldList);
    const int fieldCount = FieldNames.Count();
    if (Records.Count() > 0)
    {
        // Items beyond the field list carry their own name as "name:value".
        cStringList first;
        first.SetCommaText(Records[0]);
        for (int i = fieldCount + 3; i < first.Count(); ++i)
        {
            const std::string &item = first[i];
            std::size_t colon = item.find(':');
            FieldNames.Add(colon == std::string::npos ? std::string() : item.substr(0, colon));
        }
    }
    for (int i = 0; i < FieldNames.Count(); ++i)
        FieldNames.SetInteger(i, i);
    FieldNames.SetDuplicates(cDuplicates::Accept);
    FieldNames.SetSorted(true);
    if (Records.Count() == 1 && Records[0] == "0")
        Records.Clear();
    RecordCount = Records.Count();
}

bool cBatchSet::GoTo(int index)
{
    CurrentIndex = index;
    if (index < 0 || index >= Records.Count())
    {
        CurrentIndex = 0;
        ErrorText = "Invalid index";
        return false;
    }
    CurrentValues.SetCommaText(Records[index]);
    if (CurrentValues.Count() >= 3)
    {
        RecordNumber1 = StrToIntDef(CurrentValues[0], 0);
        RecordNumber2 = StrToIntDef(CurrentValues[1], 0);
        RecordSeq = CurrentValues[2];
        return true;
    }
    CurrentIndex = 0;
    RecordNumber1 = 0;
    RecordNumber2 = 0;
    RecordSeq.clear();
    ErrorText = "The record at the index is missing data.";
    return false;
}

bool cBatchSet::First()
{
    if (Records.Count() == 0)
        return false;
    return GoTo(0);
}

bool cBatchSet::Next()
{
    ++CurrentIndex;
    if (CurrentIndex < Records.Count())
        return GoTo(CurrentIndex);
    CurrentIndex = Records.Count() > 0 ? Records.Count() - 1 : 0;
    GoTo(CurrentIndex);
    return false;
}

std::string cBatchSet::GetField(const std::string &code)
{
    std::string name = NormalizeFieldCode(code);
    int index = 0;
    if (FieldNames.Find(name, index))
    {
        const int position = static_cast<int>(FieldNames.Integer(index)) + 3;
        if (position < CurrentValues.Count())
            return DecodeLineBreaks(CurrentValues[position]);
        ErrorText = "The field is missing in the data list";
        return std::string();
    }
    if (FieldWarningsEnabled)
        Host().MessageBox("Field " + name + " for " + TableName, "Reading a field not in local",
                          cHostButtons::Ok);
    ErrorText = "Reading a field not in local";
    return std::string();
}
