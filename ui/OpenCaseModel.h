// The open-requests tree as a model: one case line per case of a quote load that has quotes not
// awarded to the provider, and under it one quote line per such quote. A line's display and
// accessible text is what it draws ("hospital, case number, insurance"; "date, category,
// description"); a quote line's accessible description is the legend's words for its colour; its
// record key is in list_role::Key and its column texts in roles of their own.
// The model shares the load's case model, which a load replaces whole, so an entry a handler
// copied out stays valid; no index or item points into it.
#pragma once

#include "workspace/ProviderQuotes.h"

#include <QAbstractItemModel>
#include <memory>

class cOpenCaseModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit cOpenCaseModel(QObject *parent = nullptr);

    // Replaces every line with those of a load (null: no lines).
    void SetQuotes(std::shared_ptr<const cProviderQuotes> quotes);
    // While masked (the window is locked) every line keeps its place, key and selection but
    // reads and draws as empty (only its key and kind stay), so nothing of it is on screen or
    // spoken.
    Q_INVOKABLE void SetMasked(bool masked);
    const std::shared_ptr<const cProviderQuotes> &Quotes() const { return Loaded; }

    // Copies of the entries of a line: false when index is not a line of that kind.
    bool CaseAt(const QModelIndex &index, cCaseObject &caseObject) const;
    bool QuoteAt(const QModelIndex &index, cCaseQuoteObject &quote, std::string &caseKey) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    const cOpenCase *CaseLine(const QModelIndex &index) const;
    const cCaseQuoteObject *QuoteLine(const QModelIndex &index) const;
    QVariant CaseData(const cCaseObject &caseObject, int role) const;
    QVariant QuoteData(const cCaseQuoteObject &quote, int role) const;

    std::shared_ptr<const cProviderQuotes> Loaded;
    bool Masked = false;
};
