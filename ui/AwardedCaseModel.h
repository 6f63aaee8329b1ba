// The awarded cases list as a model: one entry per quote of a load that a hospital awarded to the
// provider, in reply order. An entry's display and accessible text is what it draws ("date,
// hospital, case number, category, description"); its quote key is in list_role::Key and its
// column texts in roles of their own. The model shares the load's case model.
#pragma once

#include "workspace/ProviderQuotes.h"

#include <QAbstractListModel>
#include <memory>

class cAwardedCaseModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit cAwardedCaseModel(QObject *parent = nullptr);

    // Replaces every entry with those of a load (null: none).
    void SetQuotes(std::shared_ptr<const cProviderQuotes> quotes);
    // While masked (the window is locked) every line keeps its place, key and selection but
    // reads and draws as empty (only its key and kind stay), so nothing of it is on screen or
    // spoken.
    Q_INVOKABLE void SetMasked(bool masked);
    const std::shared_ptr<const cProviderQuotes> &Quotes() const { return Loaded; }
    // A copy of an entry's quote (with its case); false for a row that is not an entry.
    bool QuoteAt(int row, cCaseQuoteObject &quote) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const cProviderQuotes> Loaded;
    bool Masked = false;
};
