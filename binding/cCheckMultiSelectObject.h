// Edits a many-to-many link with a check list: every record of an options table is an item,
// ticked when a record of a link table ties the option to the owner. A tick adds the link
// record at once and an untick deletes it at once.
#pragma once

#include "dataclient/LinkSource.h"
#include "dataclient/cRecordBatch.h"
#include "toolkit/StringList.h"

#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <string>

class dbServerConnection;

class cCheckMultiSelectObject : public QObject
{
    Q_OBJECT

public:
    using cChoicesChanged = void (*)(void *user);

    // Item data: the item's record key (the option's key while unticked, the link record's
    // key while ticked), the option's key, and the tick state last stored on the server.
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int OptionKeyRole = Qt::UserRole + 1;
    static constexpr int StoredCheckRole = Qt::UserRole + 2;

    cCheckMultiSelectObject(QListWidget *box, const std::string &optionsTable, const std::string &linkTable);
    ~cCheckMultiSelectObject() override;

    void SetLinkFields(const std::string &optionsIndex, const std::string &spareIndex,
                       const std::string &linkIndex, const std::string &linkOptionField,
                       const std::string &linkOwnerField, const std::string &optionsDisplayField);
    void SetOnChoicesChanged(cChoicesChanged callback, void *user);

    // Where the load and the ticks' writes go: the connection that link answers at each use.
    void SetLink(cLinkSource link) { Link = std::move(link); }
    // Fills the box with every option and ticks those linked to the owner.
    void LoadChoices(const std::string &ownerKey, const std::string &optionsKey);
    // The same over a given connection, which then replaces the link for later ticks.
    void LoadChoices(dbServerConnection *connection, const std::string &ownerKey,
                     const std::string &optionsKey);

    static long long ItemKey(const QListWidgetItem *item);
    static long long ItemOptionKey(const QListWidgetItem *item);

    QListWidget *Box() const { return ListBox; }
    const std::string &OwnerKey() const { return Owner; }
    // Option key text -> key of the link record that ties it to the owner, from the last load.
    const cStringList &LinkMap() const { return Links; }

private:
    void ItemChanged(QListWidgetItem *item);
    // Shows a tick state without taking it for a click.
    void ShowCheck(QListWidgetItem *item, bool checked, long long key);

    QPointer<QListWidget> ListBox;
    std::string OptionsTable;
    std::string LinkTable;
    std::string OptionsIndex;
    std::string SpareIndex;
    std::string LinkIndex;
    std::string LinkOptionField;
    std::string LinkOwnerField;
    std::string OptionsDisplayField;
    std::string Owner;
    std::string OptionsKey;
    cLinkSource Link;
    cRecordBatch Batch;
    cStringList Links;
    cStringList RequestList;
    cChoicesChanged OnChoicesChanged = nullptr;
    void *OnChoicesChangedUser = nullptr;
    bool Updating = false;
};
