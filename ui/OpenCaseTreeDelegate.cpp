#include "ui/OpenCaseTreeDelegate.h"

#include "ui/LegendShape.h"
#include "ui/ListPainting.h"
#include "workspace/ListTexts.h"
#include "workspace/cCaseObject.h"
#include "workspace/cCaseQuoteObject.h"

#include <QHeaderView>
#include <QPainter>

namespace
{
constexpr int Margin = 3;
// The last column ends this far right of the start of the "Insurance" section.
constexpr int InsuranceReach = 450;

QString Text(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

cOpenCaseTreeDelegate::cOpenCaseTreeDelegate(QHeaderView *header, cLegendShape *unanswered,
                                             cLegendShape *accepted, QObject *parent)
    : QStyledItemDelegate(parent), Header(header), Unanswered(unanswered), Accepted(accepted)
{
}

const cCaseObject *cOpenCaseTreeDelegate::CaseAt(const QModelIndex &index)
{
    if (!index.isValid() || index.parent().isValid())
        return nullptr;
    return reinterpret_cast<const cCaseObject *>(index.data(EntryRole).value<quintptr>());
}

const cCaseQuoteObject *cOpenCaseTreeDelegate::QuoteAt(const QModelIndex &index)
{
    if (!index.isValid() || !index.parent().isValid())
        return nullptr;
    return reinterpret_cast<const cCaseQuoteObject *>(index.data(EntryRole).value<quintptr>());
}

void cOpenCaseTreeDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!Header)
        return;
    // The node's own text is covered: the rectangle of its text only is filled white.
    const QString nodeText = index.data(Qt::DisplayRole).toString();
    QRect textRect = option.rect;
    textRect.setWidth(option.fontMetrics.horizontalAdvance(nodeText) + 6);
    painter->save();
    painter->fillRect(textRect, Qt::white);
    painter->setPen(Qt::black);
    if (const cCaseQuoteObject *quote = QuoteAt(index))
        DrawQuote(painter, textRect, *quote, option.widget);
    else if (const cCaseObject *caseObject = CaseAt(index))
        DrawCase(painter, textRect, *caseObject, option.widget);
    painter->restore();
}

void cOpenCaseTreeDelegate::DrawQuote(QPainter *painter, const QRect &row, const cCaseQuoteObject &quote,
                                      const QWidget *view) const
{
    const int l1 = SectionLeft(Header, 1, view);
    const int l3 = SectionLeft(Header, 3, view);
    const int y = row.top() + 1;
    QFont font = painter->font();
    font.setBold(true);
    painter->setFont(font);
    const cLegendShape *legend = quote.Accepted ? Accepted.data() : Unanswered.data();
    painter->setPen(legend ? legend->BrushColour() : QColor(Qt::black));
    painter->drawText(QPoint(l1 + 20, y + painter->fontMetrics().ascent()), Text(quote.RequiredDate));
    DrawClipped(painter, l1 + 160, l3 + InsuranceReach - Margin, row.top(), row.bottom(), y,
                Text(QuoteLineText(quote)));
}

void cOpenCaseTreeDelegate::DrawCase(QPainter *painter, const QRect &row, const cCaseObject &caseObject,
                                     const QWidget *view) const
{
    const int l1 = SectionLeft(Header, 1, view);
    const int l2 = SectionLeft(Header, 2, view);
    const int l3 = SectionLeft(Header, 3, view);
    const int y = row.top() + 1;
    DrawClipped(painter, l1, l2 - Margin, row.top(), row.bottom(), y, Text(caseObject.HospitalName));
    DrawClipped(painter, l2 + Margin, l3 - Margin, row.top(), row.bottom(), y, Text(caseObject.CaseNumber));
    DrawClipped(painter, l3 + Margin, l3 + InsuranceReach - Margin, row.top(), row.bottom(), y,
                Text(InsuranceText(caseObject)));
}
