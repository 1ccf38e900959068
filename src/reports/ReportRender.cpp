#include "ReportRender.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QSaveFile>
#include <filesystem>
#include <zint.h>

namespace ccp::reports {

namespace {

QRectF toDevice(const QRectF &mm, double dpm)
{
    return QRectF(mm.x() * dpm, mm.y() * dpm, mm.width() * dpm, mm.height() * dpm);
}

QPen pen(const Item &it, double dpm)
{
    QPen p(Qt::black);
    p.setWidthF(std::max(0.05, it.lineWidth) * dpm);
    return p;
}

void drawText(QPainter &painter, const Item &it, const QRectF &r, const QString &text, const QString &family)
{
    if (it.fill.isValid())
        painter.fillRect(r, it.fill);
    if (it.frame) {
        painter.setPen(QPen(Qt::black, 0));
        painter.drawRect(r);
    }
    QFont font(family);
    font.setPointSizeF(it.fontSize);
    font.setBold(it.bold);
    font.setItalic(it.italic);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double pad = it.frame || it.fill.isValid() ? r.height() * 0.08 : 0;
    const QRectF inner = r.adjusted(pad, 0, -pad, 0);
    int flags = it.align == HAlign::Right ? Qt::AlignRight : it.align == HAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft;
    if (it.wrap) {
        painter.drawText(inner, flags | Qt::AlignTop | Qt::TextWordWrap, text);
        return;
    }
    QString shown = text;
    const QFontMetricsF fm(font, painter.device());
    if (fm.horizontalAdvance(shown) > inner.width())
        shown = fm.elidedText(shown, Qt::ElideRight, inner.width());
    painter.drawText(inner, flags | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void drawBarCode(QPainter &painter, const QRectF &r, const QString &data)
{
    const auto bars = code128Bars(data);
    for (const QRectF &b : bars)
        painter.fillRect(QRectF(r.x() + b.x() * r.width(), r.y() + b.y() * r.height(),
                                b.width() * r.width(), b.height() * r.height()), Qt::black);
}

void drawImage(QPainter &painter, const QRectF &r, const QImage &image)
{
    if (image.isNull())
        return;
    QSizeF s = image.size();
    s.scale(r.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(r.topLeft(), s), image);
}

} // namespace

std::vector<QRectF> code128Bars(const QString &data)
{
    std::vector<QRectF> out;
    const QByteArray bytes = data.toLatin1();
    if (bytes.isEmpty())
        return out;
    zint_symbol *sym = ZBarcode_Create();
    sym->symbology = BARCODE_CODE128;
    sym->show_hrt = 0;
    const int rc = ZBarcode_Encode(sym, reinterpret_cast<const unsigned char *>(bytes.constData()), int(bytes.size()));
    if (rc < ZINT_ERROR && ZBarcode_Buffer_Vector(sym, 0) < ZINT_ERROR && sym->vector
        && sym->vector->width > 0 && sym->vector->height > 0) {
        const double w = sym->vector->width, h = sym->vector->height;
        for (auto *rect = sym->vector->rectangles; rect; rect = rect->next)
            out.emplace_back(rect->x / w, rect->y / h, rect->width / w, rect->height / h);
    }
    ZBarcode_Delete(sym);
    return out;
}

void paintPage(QPainter &painter, const PageList &pages, int index, double dpm)
{
    if (index < 0 || index >= pages.count())
        return;
    const QString family = pages.tpl->fontFamily;
    for (const PlacedItem &p : pages.pages[size_t(index)].items) {
        const Item &it = *p.item;
        const QRectF r = toDevice(p.rect, dpm);
        switch (it.kind) {
        case ItemKind::Text:
            drawText(painter, it, r, pages.text(p), family);
            break;
        case ItemKind::Line:
            painter.setPen(pen(it, dpm));
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case ItemKind::Box:
            if (it.fill.isValid())
                painter.fillRect(r, it.fill);
            painter.setPen(pen(it, dpm));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
            break;
        case ItemKind::Image:
            drawImage(painter, r, pages.images.value(p.text));
            break;
        case ItemKind::BarCode:
            drawBarCode(painter, r, p.text);
            break;
        }
    }
}

QImage renderPage(const PageList &pages, int index, double dpi)
{
    const double dpm = dpi / 25.4;
    const QSizeF mm(pages.tpl->page.width(), pages.tpl->page.height());
    QImage image(qRound(mm.width() * dpm), qRound(mm.height() * dpm), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpm * 1000));
    image.setDotsPerMeterY(qRound(dpm * 1000));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintPage(painter, pages, index, dpm);
    return image;
}

Status paintPages(QPagedPaintDevice &device, const PageList &pages, int from, int to,
                  const std::function<bool(int)> &progress)
{
    if (pages.count() == 0)
        return Status::failure(QStringLiteral("La stampa non ha pagine."));
    if (to < 0 || to >= pages.count())
        to = pages.count() - 1;
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(pages.tpl->page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&device))
        return Status::failure(QStringLiteral("Impossibile iniziare la stampa."));
    const double dpm = device.logicalDpiX() / 25.4;
    for (int i = from; i <= to; ++i) {
        if (i > from)
            device.newPage();
        paintPage(painter, pages, i, dpm);
        if (progress && !progress(i)) {
            painter.end();
            return Status::failure(QStringLiteral("Stampa interrotta dall'utente."));
        }
    }
    painter.end();
    return {};
}

Status writePdf(const PageList &pages, const QString &file, const PdfInfo &info)
{
    // Written beside the target and renamed at the end: a failed run leaves no half file.
    const QString temp = file + QStringLiteral(".part");
    {
        QPdfWriter writer(temp);
        writer.setResolution(600);
        writer.setTitle(info.title);
        writer.setCreator(QStringLiteral("C/C Posta Banca Cassa"));
        auto esc = [](const QString &s) { return s.toHtmlEscaped().toUtf8(); };
        writer.setDocumentXmpMetadata(
            "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>"
            "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
            "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/' xmlns:pdf='http://ns.adobe.com/pdf/1.3/'>"
            "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>" + esc(info.title) + "</rdf:li></rdf:Alt></dc:title>"
            "<dc:creator><rdf:Seq><rdf:li>" + esc(info.author) + "</rdf:li></rdf:Seq></dc:creator>"
            "<dc:description><rdf:Alt><rdf:li xml:lang='x-default'>" + esc(info.subject) + "</rdf:li></rdf:Alt></dc:description>"
            "<pdf:Keywords>" + esc(info.subject) + "</pdf:Keywords>"
            "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>");
        if (auto s = paintPages(writer, pages); !s) {
            QFile::remove(temp);
            return s;
        }
    }
    return placeFile(temp, file);
}

Status placeFile(const QString &temp, const QString &file)
{
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(temp).toStdString(), QFile::encodeName(file).toStdString(), error);
    if (error) {
        QFile::remove(temp);
        return Status::failure(QStringLiteral("Impossibile scrivere il file %1.").arg(file));
    }
    return {};
}

} // namespace ccp::reports
