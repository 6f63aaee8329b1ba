#include "binding/cCheckMultiSelectObject.h"

#include "binding/QtText.h"
#include "dataclient/dbServerConnection.h"
#include "toolkit/DateTime.h"

#include <QListWidget>
#include <QListWidgetItem>

namespace
{
constexpr int MaxRecords = 10000;
} // namespace

cCheckMultiSelectObject::cCheckMultiSelectObject(QListWidget *box, const std::string &optionsTable,
                                                 const std::string &linkTable)
    : ListBox(box), OptionsTable(optionsTable), LinkTable(linkTable)
{
    Links.SetSorted(true);
    Links.SetDuplicates(cDuplicates::Ignore);
    if (box)
        connect(box, &QListWidget::itemChanged, this, &cCheckMultiSelectObject::ItemChanged);
}

cCheckMultiSelectObject::~cCheckMultiSelectObject() = default;

void cCheckMultiSelectObject::SetLinkFields(const std::string &optionsIndex, const std::string &spareIndex,
                                            const std::string &linkIndex, const std::string &linkOptionField,
                                            const std::string &linkOwnerField,
                                            const std::string &optionsDisplayField)
{
    OptionsIndex = optionsIndex;
    SpareIndex = spareIndex;
    LinkIndex = linkIndex;
    LinkOptionField = linkOptionField;
    LinkOwnerField = linkOwnerField;
    OptionsDisplayField = optionsDisplayField;
}

void cCheckMultiSelectObject::SetOnChoicesChanged(cChoicesChanged callback, void *user)
{
    OnChoicesChanged = callback;
    OnChoicesChangedUser = user;
}

void cCheckMultiSelectObject::LoadChoices(dbServerConnection *connection, const std::string &ownerKey,
                                          const std::string &optionsKey)
{
    Link = FixedLink(connection);
    LoadChoices(ownerKey, optionsKey);
}

void cCheckMultiSelectObject::LoadChoices(const std::string &ownerKey, const std::string &optionsKey)
{
    if (!ListBox)
        return;
    Updating = true;
    ListBox->clear();
    Links.Clear();
    Owner = ownerKey;
    OptionsKey = optionsKey;
    dbServerConnection *connection = Link ? Link() : nullptr;
    if (!connection)
    {
        // Nothing to read: the batch would still hold the records of an earlier load.
        Updating = false;
        return;
    }

    Batch.Open(connection, LinkTable, LinkIndex, ownerKey, "", 0, MaxRecords, LinkOptionField);
    if (Batch.First())
    {
        do
            Links.AddInteger(Batch.GetField(LinkOptionField), StrToInt64Def(Batch.RecordSeq(), 0));
        while (Batch.Next());
    }

    Batch.Open(connection, OptionsTable, OptionsIndex, optionsKey, "", 0, MaxRecords, OptionsDisplayField);
    if (Batch.First())
    {
        do
        {
            const std::string seq = Batch.RecordSeq();
            const long long optionKey = StrToInt64Def(seq, 0);
            auto *item = new QListWidgetItem(ToQt(Batch.GetField(OptionsDisplayField)));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setData(OptionKeyRole, optionKey);
            int index = 0;
            const bool linked = !seq.empty() && Links.Find(seq, index);
            item->setData(KeyRole, linked ? static_cast<long long>(Links.Integer(index)) : optionKey);
            item->setData(StoredCheckRole, linked);
            item->setCheckState(linked ? Qt::Checked : Qt::Unchecked);
            ListBox->addItem(item);
        } while (Batch.Next());
    }
    Updating = false;
}

long long cCheckMultiSelectObject::ItemKey(const QListWidgetItem *item)
{
    return item ? item->data(KeyRole).toLongLong() : 0;
}

long long cCheckMultiSelectObject::ItemOptionKey(const QListWidgetItem *item)
{
    return item ? item->data(OptionKeyRole).toLongLong() : 0;
}

void cCheckMultiSelectObject::ShowCheck(QListWidgetItem *item, bool checked, long long key)
{
    const bool wasUpdating = Updating;
    Updating = true;
    item->setData(KeyRole, key);
    item->setData(StoredCheckRole, checked);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    Updating = wasUpdating;
}

void cCheckMultiSelectObject::ItemChanged(QListWidgetItem *item)
{
    if (Updating || !item || !ListBox)
        return;
    const bool checked = item->checkState() == Qt::Checked;
    const bool stored = item->data(StoredCheckRole).toBool();
    if (checked == stored)
        return; // not a click on the check box (text or data changed)

    dbServerConnection *connection = Link ? Link() : nullptr;
    if (!connection)
    {
        // Nothing can be stored: show the state that the server holds.
        ShowCheck(item, stored, ItemKey(item));
        return;
    }

    const long long optionKey = ItemOptionKey(item);
    if (checked)
    {
        RequestList.Clear();
        RequestList.SetValues(LinkOwnerField, Owner);
        RequestList.SetValues(LinkOptionField, IntToStr(optionKey));
        const long long linkKey = StrToInt64Def(connection->AddRecord(LinkTable, RequestList), 0);
        // Without a new link record the option is not linked: it stays unticked.
        if (linkKey > 0)
            ShowCheck(item, true, linkKey);
        else
            ShowCheck(item, false, optionKey);
    }
    else
    {
        const long long linkKey = ItemKey(item);
        if (linkKey > 0 && connection->DeleteRecord(LinkTable, IntToStr(linkKey)))
            ShowCheck(item, false, optionKey);
        else if (linkKey > 0)
            ShowCheck(item, true, linkKey); // the link is still stored: keep showing it
        else
            ShowCheck(item, false, optionKey);
    }

    if (OnChoicesChanged)
        OnChoicesChanged(OnChoicesChangedUser);
    ListBox->setCurrentItem(item);
}
