#include "ui/PacketPainter.h"

#include "ui/Look.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>

namespace
{
// Marks of an empty and a ticked box.
const QString EmptyBox = QString(QChar(0x2610));
const QString TickedBox = QString(QChar(0x2612));
const QColor RuleColour(90, 90, 90);
const QColor GridColour(170, 170, 170);
const QColor ShadeColour(232, 232, 232);
// Resolution of the PDF form (dots per inch).
constexpr int PdfResolution = 300;

QFont PacketFont(qreal points, bool bold = false)
{
    QFont font(QStringList{"Liberation Sans", "DejaVu Sans", "Sans Serif"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The lines of a text wrapped to a width; each LF starts a line, an empty text is one empty line.
QStringList Wrap(const QString &text, const QFont &font, QPaintDevice *device, qreal width)
{
    QStringList lines;
    for (const QString &paragraph : text.split('\n'))
    {
        QTextLayout layout(paragraph, font, device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        const qsizetype before = lines.size();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
        if (lines.size() == before)
            lines << QString();
    }
    return lines;
}

qreal TextWidth(const QFont &font, QPaintDevice *device, const QString &text)
{
    return QFontMetricsF(font, device).horizontalAdvance(text);
}

void DrawLine(QPainter &painter, const QFont &font, qreal x, qreal top, const QString &text)
{
    painter.setFont(font);
    painter.drawText(QPointF(x, top + QFontMetricsF(font, painter.device()).ascent()), text);
}

// Column widths that fill the width: columns narrower than an equal share keep their natural
// width, the others share the rest in proportion to theirs.
std::vector<qreal> ColumnWidths(std::vector<qreal> natural, qreal width)
{
    const std::size_t n = natural.size();
    qreal total = 0;
    for (qreal w : natural)
        total += w;
    std::vector<qreal> widths(n, 0);
    if (total <= width)
    {
        for (std::size_t c = 0; c < n; ++c)
            widths[c] = natural[c] * width / total;
        return widths;
    }
    std::vector<bool> fixed(n, false);
    qreal left = width;
    for (bool changed = true; changed;)
    {
        changed = false;
        std::size_t open = 0;
        for (std::size_t c = 0; c < n; ++c)
            open += !fixed[c];
        for (std::size_t c = 0; c < n && open > 0; ++c)
            if (!fixed[c] && natural[c] <= left / static_cast<qreal>(open))
            {
                fixed[c] = true;
                widths[c] = natural[c];
                left -= natural[c];
                changed = true;
            }
    }
    qreal wide = 0;
    for (std::size_t c = 0; c < n; ++c)
        wide += fixed[c] ? 0 : natural[c];
    for (std::size_t c = 0; c < n; ++c)
        if (!fixed[c])
            widths[c] = natural[c] * left / wide;
    return widths;
}
} // namespace

cPacketPainter::cPacketPainter(cReferralPacket packet) : Packet(std::move(packet)) {}

cPacketPainter::~cPacketPainter() = default;

QMarginsF cPacketPainter::PageMargins()
{
    return QMarginsF(16, 12, 16, 12);
}

qreal cPacketPainter::Points(qreal points) const
{
    return points * Device->logicalDpiY() / 72.0;
}

qreal cPacketPainter::LineHeight(const QFont &font) const
{
    return QFontMetricsF(font, Device).lineSpacing();
}

QByteArray cPacketPainter::Pdf()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, PageMargins(),
                                         QPageLayout::Millimeter));
        writer.setTitle(ToQt(Packet.Title + ", " + Packet.HeaderRight));
        writer.setCreator("Hospital Discharge Provider");
        if (!Paint(writer))
            return {};
    }
    return buffer.data();
}

bool cPacketPainter::Paint(QPagedPaintDevice &device)
{
    Layout(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = 0; page < PageCount(); ++page)
    {
        if (page > 0 && !device.newPage())
            return false;
        PaintFrame(painter, page);
        for (const cPlaced &placed : Pages[static_cast<std::size_t>(page)])
            Bands[static_cast<std::size_t>(placed.Band)].Draw(painter, BodyTop + placed.Top);
    }
    return painter.end();
}

void cPacketPainter::Layout(QPagedPaintDevice &device)
{
    Device = &device;
    Body = PacketFont(10);
    Bold = PacketFont(10, true);
    SectionFont = PacketFont(13, true);
    GroupFont = PacketFont(11, true);
    TitleFont = PacketFont(18, true);
    SmallFont = PacketFont(8.5);
    MarkFont = QFont(QStringList{"DejaVu Sans", "Liberation Sans", "Sans Serif"});
    MarkFont.setPointSizeF(11);
    Width = device.width();
    const qreal frame = LineHeight(SmallFont) + Points(8);
    BodyTop = frame;
    BodyHeight = device.height() - 2 * frame;
    // The captions of the fields line up in one column, as wide as the widest (within reason).
    CaptionWidth = 0;
    for (const cPacketBlock &block : Packet.Blocks)
        if (block.Kind == cPacketBlockKind::Field)
            CaptionWidth = std::max(CaptionWidth, TextWidth(Bold, Device, ToQt(block.Caption)));
    CaptionWidth = std::min(CaptionWidth + Points(12), Width * 0.4);

    Bands.clear();
    const QString title = ToQt(Packet.Title);
    Bands.push_back({LineHeight(TitleFont) + Points(4), false, false, -1,
                     [this, title](QPainter &painter, qreal top)
                     {
                         painter.setPen(Qt::black);
                         DrawLine(painter, TitleFont, 0, top, title);
                     }});
    for (const cPacketBlock &block : Packet.Blocks)
        AddBlock(block);
    Paginate();
}

void cPacketPainter::AddBlock(const cPacketBlock &block)
{
    switch (block.Kind)
    {
    case cPacketBlockKind::Section:
    case cPacketBlockKind::Group:
        AddHeading(block);
        break;
    case cPacketBlockKind::Field:
        AddField(block);
        break;
    case cPacketBlockKind::Text:
        AddText(ToQt(block.Text));
        break;
    case cPacketBlockKind::Options:
        AddOptions(block);
        break;
    case cPacketBlockKind::Table:
        AddTable(block);
        break;
    }
}

void cPacketPainter::AddGap(qreal height)
{
    Bands.push_back({height, false, true, -1, [](QPainter &, qreal) {}});
}

// A section's heading underlined; a group's heading on a shaded strip.
void cPacketPainter::AddHeading(const cPacketBlock &block)
{
    const bool section = block.Kind == cPacketBlockKind::Section;
    const QFont &font = section ? SectionFont : GroupFont;
    AddGap(Points(section ? 12 : 7));
    const qreal height = LineHeight(font) + Points(section ? 5 : 4);
    const QString caption = ToQt(block.Caption);
    Bands.push_back({height, true, false, -1,
                     [this, caption, section, height, &font](QPainter &painter, qreal top)
                     {
                         if (section)
                         {
                             painter.setPen(QPen(RuleColour, Points(0.8)));
                             painter.drawLine(QPointF(0, top + height - Points(2)),
                                              QPointF(Width, top + height - Points(2)));
                         }
                         else
                             painter.fillRect(QRectF(0, top, Width, height - Points(1)), ShadeColour);
                         painter.setPen(Qt::black);
                         DrawLine(painter, font, section ? 0 : Points(4), top + Points(1), caption);
                     }});
}

// The caption in its column, the value wrapped beside it; kept on one page when it fits there.
void cPacketPainter::AddField(const cPacketBlock &block)
{
    const QStringList lines = Wrap(ToQt(block.Text), Body, Device, Width - CaptionWidth);
    const QString caption = ToQt(block.Caption);
    const qreal line = LineHeight(Body);
    const auto draw = [this, caption](const QStringList &part, bool first)
    {
        return [this, caption, part, first](QPainter &painter, qreal top)
        {
            painter.setPen(Qt::black);
            if (first)
                DrawLine(painter, Bold, 0, top, caption);
            for (int i = 0; i < part.size(); ++i)
                DrawLine(painter, Body, CaptionWidth, top + i * LineHeight(Body), part[i]);
        };
    };
    if (lines.size() * line <= BodyHeight)
    {
        Bands.push_back({lines.size() * line, false, false, -1, draw(lines, true)});
        return;
    }
    for (int i = 0; i < lines.size(); ++i)
        Bands.push_back({line, false, false, -1, draw({lines[i]}, i == 0)});
}

void cPacketPainter::AddText(const QString &text)
{
    for (const QString &line : Wrap(text, Body, Device, Width))
        Bands.push_back({LineHeight(Body), false, false, -1,
                         [this, line](QPainter &painter, qreal top)
                         {
                             painter.setPen(Qt::black);
                             DrawLine(painter, Body, 0, top, line);
                         }});
}

// The boxes of a line flow left to right and wrap at the width; a ticked box's caption is bold.
void cPacketPainter::AddOptions(const cPacketBlock &block)
{
    struct cPlacedOption
    {
        qreal X;
        const cPacketOption *Option;
    };
    const qreal gap = Points(14);
    const qreal markWidth = TextWidth(MarkFont, Device, EmptyBox) + Points(3);
    const qreal height = std::max(LineHeight(Body), LineHeight(MarkFont));
    std::vector<std::vector<cPlacedOption>> lines(1);
    qreal x = 0;
    for (const cPacketOption &option : block.Options)
    {
        const qreal width = (option.Box ? markWidth : 0) +
                            TextWidth(option.Ticked ? Bold : Body, Device, ToQt(option.Caption)) + gap;
        if (x > 0 && x + width - gap > Width)
        {
            lines.emplace_back();
            x = 0;
        }
        lines.back().push_back({x, &option});
        x += width;
    }
    for (const auto &line : lines)
        Bands.push_back(
            {height, false, false, -1,
             [this, line, markWidth](QPainter &painter, qreal top)
             {
                 painter.setPen(Qt::black);
                 for (const cPlacedOption &placed : line)
                 {
                     const cPacketOption &option = *placed.Option;
                     qreal x = placed.X;
                     if (option.Box)
                     {
                         DrawLine(painter, MarkFont, x, top, option.Ticked ? TickedBox : EmptyBox);
                         x += markWidth;
                     }
                     DrawLine(painter, option.Ticked ? Bold : Body, x,
                              top + (LineHeight(MarkFont) - LineHeight(Body)) / 2, ToQt(option.Caption));
                 }
             }});
}

std::vector<qreal> cPacketPainter::TableWidths(const cPacketBlock &block, qreal pad) const
{
    const std::size_t columns = block.Columns.size();
    std::vector<qreal> natural(columns, 0);
    for (std::size_t c = 0; c < columns; ++c)
    {
        natural[c] = TextWidth(Bold, Device, ToQt(block.Columns[c]));
        for (const auto &row : block.Rows)
            if (c < row.size())
                natural[c] = std::max(natural[c], TextWidth(Body, Device, ToQt(row[c])));
        natural[c] += 2 * pad;
    }
    return ColumnWidths(natural, Width);
}

cPacketPainter::cBand cPacketPainter::TableBand(const std::vector<QStringList> &cells,
                                                const std::vector<qreal> &widths, qreal pad, bool heading,
                                                int headingBand) const
{
    const qreal line = LineHeight(Body);
    qsizetype most = 1;
    for (const QStringList &cell : cells)
        most = std::max(most, cell.size());
    const qreal height = most * line + 2 * pad;
    return cBand{height, heading, false, headingBand,
                 [this, cells, widths, pad, line, height, heading](QPainter &painter, qreal top)
                 {
                     qreal x = 0;
                     for (std::size_t c = 0; c < cells.size(); ++c)
                     {
                         const QRectF cell(x, top, widths[c], height);
                         if (heading)
                             painter.fillRect(cell, ShadeColour);
                         painter.setPen(QPen(GridColour, Points(0.5)));
                         painter.drawRect(cell);
                         painter.setPen(Qt::black);
                         for (int i = 0; i < cells[c].size(); ++i)
                             DrawLine(painter, heading ? Bold : Body, x + pad, top + pad + i * line,
                                      cells[c][i]);
                         x += widths[c];
                     }
                 }};
}

// A heading row on a shaded strip and one band per row; a row taller than a page is cut into
// pieces of whole lines.
void cPacketPainter::AddTable(const cPacketBlock &block)
{
    const std::size_t columns = block.Columns.size();
    const qreal pad = Points(3);
    const std::vector<qreal> widths = TableWidths(block, pad);
    const qreal line = LineHeight(Body);
    using cCells = std::vector<QStringList>;
    cCells heading;
    for (std::size_t c = 0; c < columns; ++c)
        heading.push_back(Wrap(ToQt(block.Columns[c]), Bold, Device, widths[c] - 2 * pad));
    const int headingBand = static_cast<int>(Bands.size());
    Bands.push_back(TableBand(heading, widths, pad, true, -1));
    const int most = std::max(1, static_cast<int>((BodyHeight - Bands.back().Height - 2 * pad) / line));
    for (const auto &row : block.Rows)
    {
        cCells cells;
        qsizetype lines = 1;
        for (std::size_t c = 0; c < columns; ++c)
        {
            cells.push_back(
                Wrap(ToQt(c < row.size() ? row[c] : std::string()), Body, Device, widths[c] - 2 * pad));
            lines = std::max(lines, cells.back().size());
        }
        for (qsizetype from = 0; from < lines; from += most)
        {
            cCells piece;
            for (const QStringList &cell : cells)
                piece.push_back(cell.mid(from, most));
            Bands.push_back(TableBand(piece, widths, pad, false, headingBand));
        }
    }
    // A little space between a table and what follows it.
    AddGap(Points(4));
}

// Places the bands page by page: a band that does not fit starts a new page, and so does a
// heading whose following bands would not fit with it; a table row that starts a page has its
// table's heading row repeated above it; space before a heading is dropped at the top of a page.
void cPacketPainter::Paginate()
{
    Pages.assign(1, {});
    qreal y = 0;
    const auto newPage = [&]
    {
        Pages.emplace_back();
        y = 0;
    };
    for (std::size_t i = 0; i < Bands.size(); ++i)
    {
        const cBand &band = Bands[i];
        if (band.Gap)
        {
            if (y > 0)
                y += band.Height;
            continue;
        }
        // A heading with what follows it (space before a further heading included).
        qreal needed = band.Height;
        for (std::size_t next = i; (Bands[next].KeepWithNext || Bands[next].Gap) && next + 1 < Bands.size();)
        {
            ++next;
            needed += Bands[next].Height;
        }
        if (y > 0 && y + needed > BodyHeight)
        {
            newPage();
            if (band.Heading >= 0)
            {
                Pages.back().push_back({band.Heading, y});
                y += Bands[static_cast<std::size_t>(band.Heading)].Height;
            }
        }
        Pages.back().push_back({static_cast<int>(i), y});
        y += band.Height;
    }
}

void cPacketPainter::PaintFrame(QPainter &painter, int page) const
{
    const qreal small = LineHeight(SmallFont);
    const qreal height = 2 * BodyTop + BodyHeight;
    const QString right = ToQt(Packet.HeaderRight);
    const QString number = ToQt(PacketPageText(page + 1, PageCount()));
    painter.setPen(Qt::black);
    DrawLine(painter, PacketFont(8.5, true), 0, 0, ToQt(Packet.HeaderLeft));
    DrawLine(painter, SmallFont, Width - TextWidth(SmallFont, Device, right), 0, right);
    DrawLine(painter, SmallFont, 0, height - small, ToQt(Packet.Footer));
    DrawLine(painter, SmallFont, Width - TextWidth(SmallFont, Device, number), height - small, number);
    painter.setPen(QPen(RuleColour, Points(0.5)));
    painter.drawLine(QPointF(0, small + Points(2)), QPointF(Width, small + Points(2)));
    painter.drawLine(QPointF(0, height - small - Points(2)), QPointF(Width, height - small - Points(2)));
}
