// Lays a referral packet out on the pages of a printer or a PDF writer and paints it: every page
// has a header (the provider's name and the case) and a footer ("Printed by ..." and "Page n of
// N"); the blocks run in between. A page break never falls inside a line of text or a table row: a
// table row is moved to the next page whole (with its table's heading row repeated above it), and
// a heading is kept on the page of what follows it.
#pragma once

#include "workspace/ReferralPacket.h"

#include <QByteArray>
#include <QFont>
#include <QMarginsF>
#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

class cPacketPainter
{
public:
    explicit cPacketPainter(cReferralPacket packet);
    ~cPacketPainter();

    // The margins of the paper (millimetres), also asked of a printer.
    static QMarginsF PageMargins();

    // Paints the packet on the device; false when painting could not begin, a page could not be
    // added or the painting could not be finished.
    bool Paint(QPagedPaintDevice &device);
    // The packet as a PDF document (letter paper), empty when it could not be made.
    QByteArray Pdf();
    // Pages of the last painting.
    int PageCount() const { return static_cast<int>(Pages.size()); }

private:
    // A strip of a page: one line of text, a heading, a table row or a space.
    struct cBand
    {
        qreal Height = 0;
        bool KeepWithNext = false; // a heading: never the last thing on a page
        bool Gap = false;          // space before a heading: left out at the top of a page
        int Heading = -1;          // a table row: its table's heading row, repeated on a new page
        std::function<void(QPainter &, qreal top)> Draw;
    };
    struct cPlaced
    {
        int Band;
        qreal Top;
    };

    void Layout(QPagedPaintDevice &device);
    void AddBlock(const cPacketBlock &block);
    void AddHeading(const cPacketBlock &block);
    void AddField(const cPacketBlock &block);
    void AddText(const QString &text);
    void AddOptions(const cPacketBlock &block);
    void AddTable(const cPacketBlock &block);
    // A table's column widths: each as wide as its widest text and padding, fitted to the page.
    std::vector<qreal> TableWidths(const cPacketBlock &block, qreal pad) const;
    // The band of one table row (or of its heading), its cells given as their lines.
    cBand TableBand(const std::vector<QStringList> &cells, const std::vector<qreal> &widths, qreal pad,
                    bool heading, int headingBand) const;
    void AddGap(qreal height);
    void Paginate();
    void PaintFrame(QPainter &painter, int page) const;
    qreal Points(qreal points) const;
    qreal LineHeight(const QFont &font) const;

    cReferralPacket Packet;
    QPagedPaintDevice *Device = nullptr;
    qreal Width = 0;
    qreal BodyTop = 0;
    qreal BodyHeight = 0;
    qreal CaptionWidth = 0;
    QFont Body, Bold, SectionFont, GroupFont, TitleFont, SmallFont, MarkFont;
    std::vector<cBand> Bands;
    std::vector<std::vector<cPlaced>> Pages;
};
