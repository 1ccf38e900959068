#include "ReportPreview.h"

#include "ReportXlsx.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace ccp::reports {

// Inside the main window the preview sits in a sub-window: closing only the preview would
// leave that frame empty on screen.
void TfmReportPreview::closePreview()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

namespace {

QPushButton *button(QWidget *parent, QHBoxLayout *bar, const QString &text, const QString &tip)
{
    auto *b = new QPushButton(text, parent);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    bar->addWidget(b);
    return b;
}

constexpr double ScreenDpi = 96.0;

} // namespace

TfmReportPreview::TfmReportPreview(QWidget *parent) : QWidget(parent), m_pages(std::make_unique<PageList>())
{
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    auto *first = button(this, bar, QStringLiteral("|<"), QStringLiteral("Prima pagina (Home)"));
    auto *prev = button(this, bar, QStringLiteral("<"), QStringLiteral("Pagina precedente (PgSu)"));
    bar->addWidget(new QLabel(QStringLiteral("&Pagina"), this));
    m_pageBox = new QSpinBox(this);
    m_pageBox->setMinimum(1);
    static_cast<QLabel *>(bar->itemAt(bar->count() - 1)->widget())->setBuddy(m_pageBox);
    bar->addWidget(m_pageBox);
    m_pageOf = new QLabel(this);
    bar->addWidget(m_pageOf);
    auto *next = button(this, bar, QStringLiteral(">"), QStringLiteral("Pagina successiva (PgGiù)"));
    auto *last = button(this, bar, QStringLiteral(">|"), QStringLiteral("Ultima pagina (Fine)"));
    bar->addSpacing(16);
    auto *zoomOut = button(this, bar, QStringLiteral("-"), QStringLiteral("Riduci (-)"));
    m_zoomLabel = new QLabel(this);
    bar->addWidget(m_zoomLabel);
    auto *zoomIn = button(this, bar, QStringLiteral("+"), QStringLiteral("Ingrandisci (+)"));
    auto *width = button(this, bar, QStringLiteral("&Larghezza"), QStringLiteral("Adatta alla larghezza della finestra"));
    auto *whole = button(this, bar, QStringLiteral("&Intera"), QStringLiteral("Mostra la pagina intera"));
    bar->addSpacing(16);
    auto *printButton = button(this, bar, QStringLiteral("&Stampa..."), QStringLiteral("Stampa (Ctrl+P)"));
    auto *pdf = button(this, bar, QStringLiteral("Salva &PDF..."), QStringLiteral("Salva come PDF (Ctrl+S)"));
    auto *xlsx = button(this, bar, QStringLiteral("Salva &Excel..."), QStringLiteral("Salva i dati principali come foglio di calcolo"));
    bar->addStretch();
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0);
    m_progress->setMaximumWidth(160);
    m_progress->setFormat(QStringLiteral("Impaginazione..."));
    bar->addWidget(m_progress);
    m_stopButton = button(this, bar, QStringLiteral("I&nterrompi"), QStringLiteral("Interrompe l'impaginazione"));
    auto *close = button(this, bar, QStringLiteral("&Chiudi"), QStringLiteral("Chiude l'anteprima (Esc)"));
    layout->addLayout(bar);

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_image = new QLabel(m_scroll);
    m_image->setFrameShape(QFrame::Box);
    m_scroll->setWidget(m_image);
    layout->addWidget(m_scroll, 1);
    m_needPages = {first, prev, next, last, zoomOut, zoomIn, width, whole, m_pageBox};
    m_needAllPages = {printButton, pdf, xlsx};

    connect(first, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(prev, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(last, &QPushButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int v) { showPage(v - 1); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { setZoom(m_zoom / 1.25); });
    connect(zoomIn, &QPushButton::clicked, this, [this] { setZoom(m_zoom * 1.25); });
    connect(width, &QPushButton::clicked, this, [this] { fitWidth(); });
    connect(whole, &QPushButton::clicked, this, [this] {
        if (!m_pages->tpl)
            return;
        const double h = m_pages->tpl->page.height() / 25.4 * ScreenDpi;
        setZoom((m_scroll->viewport()->height() - 8) / h);
    });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(pdf, &QPushButton::clicked, this, [this] { askSavePdf(); });
    connect(xlsx, &QPushButton::clicked, this, [this] { askSaveXlsx(); });
    connect(m_stopButton, &QPushButton::clicked, this, [this] { stop(); });
    connect(close, &QPushButton::clicked, this, &TfmReportPreview::closePreview);
    resize(1000, 800);
    updateControls();
}

TfmReportPreview::~TfmReportPreview() = default;

int TfmReportPreview::pageCount() const
{
    return m_pages->count();
}

bool TfmReportPreview::run(std::shared_ptr<const Template> tpl, std::unique_ptr<DataModule> module, const PdfInfo &info)
{
    m_data = std::move(module);
    m_info = info;
    setWindowTitle(QStringLiteral("Anteprima - %1").arg(info.title));
    m_running = true;
    m_stop = false;
    updateControls();
    LayoutOptions options;
    options.onPage = [this](const PageList &p) {
        if (p.count() == 1) {
            fitWidth();
            showPage(0);
        }
        updateControls();
        QApplication::processEvents();
        return !m_stop;
    };
    const Status s = layoutReport(tpl, *m_data, *m_pages, options);
    m_running = false;
    if (!s && !m_stop)
        fw::showError(s.error());
    updateControls();
    refresh();
    return pageCount() > 0 && (s.ok() || m_stop);
}

void TfmReportPreview::updateControls()
{
    const int n = pageCount();
    // Pages can be looked at while the rest is laid out; printing waits for all of them.
    for (QWidget *w : std::as_const(m_needPages))
        w->setEnabled(n > 0);
    for (QWidget *w : std::as_const(m_needAllPages))
        w->setEnabled(n > 0 && !m_running);
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setMaximum(std::max(1, n));
    m_pageBox->setValue(m_page + 1);
    m_pageOf->setText(m_pages->complete || !m_running ? QStringLiteral("di %1").arg(n) : QStringLiteral("di %1...").arg(n));
    if (m_pages->count() > 0 && !m_running && !m_pages->complete)
        m_pageOf->setText(QStringLiteral("di %1 (interrotta)").arg(n));
    m_zoomLabel->setText(QStringLiteral("%1%").arg(qRound(m_zoom * 100)));
    m_progress->setVisible(m_running);
    m_stopButton->setVisible(m_running);
}

void TfmReportPreview::refresh()
{
    if (m_page < 0 || m_page >= pageCount())
        return;
    const QImage img = renderPage(*m_pages, m_page, ScreenDpi * m_zoom * devicePixelRatioF());
    QPixmap pix = QPixmap::fromImage(img);
    pix.setDevicePixelRatio(devicePixelRatioF());
    m_image->setPixmap(pix);
    m_image->resize(pix.deviceIndependentSize().toSize());
}

void TfmReportPreview::showPage(int page)
{
    if (pageCount() == 0)
        return;
    m_page = std::clamp(page, 0, pageCount() - 1);
    refresh();
    m_scroll->verticalScrollBar()->setValue(0);
    updateControls();
}

void TfmReportPreview::setZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 0.25, 4.0);
    refresh();
    updateControls();
}

void TfmReportPreview::fitWidth()
{
    if (!m_pages->tpl)
        return;
    const double w = m_pages->tpl->page.width() / 25.4 * ScreenDpi;
    setZoom((m_scroll->viewport()->width() - 24) / w);
}

void TfmReportPreview::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_PageDown:
        showPage(m_page + 1);
        return;
    case Qt::Key_PageUp:
        showPage(m_page - 1);
        return;
    case Qt::Key_Home:
        if (ctrl || !m_pageBox->hasFocus()) {
            showPage(0);
            return;
        }
        break;
    case Qt::Key_End:
        if (ctrl || !m_pageBox->hasFocus()) {
            showPage(pageCount() - 1);
            return;
        }
        break;
    case Qt::Key_Plus:
        setZoom(m_zoom * 1.25);
        return;
    case Qt::Key_Minus:
        setZoom(m_zoom / 1.25);
        return;
    case Qt::Key_Escape:
        if (m_running)
            stop();
        else
            closePreview();
        return;
    case Qt::Key_P:
        if (ctrl && !m_running) {
            print();
            return;
        }
        break;
    case Qt::Key_S:
        if (ctrl && !m_running) {
            askSavePdf();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TfmReportPreview::closeEvent(QCloseEvent *event)
{
    // A layout still running stops first; the window closes once it has.
    if (m_running) {
        stop();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TfmReportPreview::print()
{
    if (pageCount() == 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(m_info.title);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Stampa - %1").arg(m_info.title));
    dialog.setMinMax(1, pageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    int from = 0, to = pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange) {
        from = printer.fromPage() - 1;
        to = printer.toPage() - 1;
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        from = to = m_page;
    }
    if (auto s = paintPages(printer, *m_pages, from, to); !s)
        fw::showError(s.error());
}

bool TfmReportPreview::savePdf(const QString &file)
{
    if (auto s = writePdf(*m_pages, file, m_info); !s) {
        fw::showError(s.error());
        return false;
    }
    return true;
}

QString TfmReportPreview::askFile(const QString &caption, const QString &suffix, const QString &filter)
{
    QString name = m_info.title;
    name.replace(QRegularExpression(QStringLiteral(R"([\\/:*?"<>|])")), QStringLiteral("_"));
    return QFileDialog::getSaveFileName(this, caption,
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name + suffix), filter);
}

void TfmReportPreview::askSavePdf()
{
    if (pageCount() == 0)
        return;
    const QString file = askFile(QStringLiteral("Salva come PDF"), QStringLiteral(".pdf"), QStringLiteral("Documenti PDF (*.pdf)"));
    if (!file.isEmpty() && savePdf(file))
        fw::showInfo(QStringLiteral("Stampa salvata in %1.").arg(QDir::toNativeSeparators(file)));
}

bool TfmReportPreview::saveXlsx(const QString &file)
{
    if (!m_pages->tpl || !m_data)
        return false;
    auto table = mainData(*m_pages->tpl, *m_data);
    Status s = table.status();
    if (s)
        s = writeXlsx(table.value(), file, m_info.title);
    if (!s)
        fw::showError(s.error());
    return s.ok();
}

void TfmReportPreview::askSaveXlsx()
{
    const QString file = askFile(QStringLiteral("Salva come foglio di calcolo"), QStringLiteral(".xlsx"),
                                 QStringLiteral("Cartelle di Excel (*.xlsx)"));
    if (!file.isEmpty() && saveXlsx(file))
        fw::showInfo(QStringLiteral("Dati salvati in %1.").arg(QDir::toNativeSeparators(file)));
}

} // namespace ccp::reports
