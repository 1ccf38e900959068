#pragma once
#include "ReportLayout.h"
#include "ReportRender.h"

#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace ccp::reports {

// Preview of a report: pages shown as soon as they are laid out, page navigation, zoom, fit
// to width, printing through the system's dialog and saving as PDF.
class TfmReportPreview : public QWidget
{
    Q_OBJECT
public:
    explicit TfmReportPreview(QWidget *parent = nullptr);
    ~TfmReportPreview() override;

    // Lays the report out, showing the first page at once; false when it failed (message shown)
    // or was stopped before any page.
    bool run(std::shared_ptr<const Template> tpl, std::unique_ptr<DataModule> module, const PdfInfo &info);

    int currentPage() const { return m_page; }
    int pageCount() const;
    double zoom() const { return m_zoom; }
    bool running() const { return m_running; }
    const PageList &pages() const { return *m_pages; }

    void showPage(int page);
    void setZoom(double zoom);
    void fitWidth();
    bool savePdf(const QString &file);
    bool saveXlsx(const QString &file);
    void stop() { m_stop = true; }
    // Closes the preview, with the sub-window that holds it in the main window.
    void closePreview();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void refresh();
    void updateControls();
    void print();
    void askSavePdf();
    void askSaveXlsx();
    QString askFile(const QString &caption, const QString &suffix, const QString &filter);

    std::unique_ptr<PageList> m_pages;
    std::unique_ptr<DataModule> m_data;
    PdfInfo m_info;
    int m_page = 0;
    double m_zoom = 1.0;
    bool m_running = false;
    bool m_stop = false;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_image = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_pageOf = nullptr;
    QLabel *m_zoomLabel = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_stopButton = nullptr;
    QList<QWidget *> m_needPages;
    QList<QWidget *> m_needAllPages;
};

} // namespace ccp::reports
