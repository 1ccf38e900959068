#pragma once
#include "EbcUExpBanche.h"
#include "ReportData.h"
#include "ReportLauncher.h"
#include "TVeDBDateEdit.h"
#include "TVeWizard.h"

#include <QMap>
#include <QSqlDatabase>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTableWidget;
class QTreeWidget;

namespace ccp::reports {
class TReportActivation;
}

namespace ccp::directdebit {

// "Export banche": dates and payment method, the pupils, then the bank and its header; OK
// writes the bank's file of the dispositions and, when asked, books them as movements.
class TfwEbcExport_Banche : public fw::TVeWizard
{
    Q_OBJECT
public:
    enum Page { ParamsPage = 0, PupilsPage = 1, ExportPage = 2 };

    TfwEbcExport_Banche(QSqlDatabase db, const QString &mainDirectory, QWidget *parent = nullptr);

    // Page 1
    fw::TVeDBDateEdit *deDal;
    fw::TVeDBDateEdit *deAl;
    QComboBox *cbModPagamento;
    QCheckBox *ckCreaMovimento;
    // Page 2
    QListWidget *lbClassi;
    QMenu *pmClassi;
    QTreeWidget *grAlunni;
    // Page 3
    QComboBox *cbBanca;
    QLineEdit *edMittente;
    QLineEdit *edNOME_SUPPORTO;
    fw::TVeDBDateEdit *deData_Creazione;
    fw::TVeDBDateEdit *deData_Disposizione;
    fw::TVeDBDateEdit *deData_Valuta;
    fw::TVeDBDateEdit *deDATA_SCADENZA;
    QLineEdit *edConto_Tesoreria;
    QLineEdit *edCC_ORDINANTE;
    QLineEdit *edIdCreditore;   // SEPA file: creditor identifier and CBI code
    QLineEdit *edCUC;
    QComboBox *cbVersioneSdd;
    QLabel *lbVersioneSdd;
    QLineEdit *edFileExport;
    QPushButton *btFileExport;
    QTableWidget *grDisposizioni;
    QLabel *lbNumDisposizioni;
    QPushButton *btRiepilogo;
    QPushButton *btBrogliaccio;
    QPushButton *btLog;

    const QList<DetailRow> &detailRows() const { return m_rows; }
    const QList<Disposition> &dispositions() const { return m_dispositions; }
    // The header controls by name ("edMittente", "deData_Creazione", ...).
    QWidget *headerControl(const QString &name) const { return m_header.value(name); }
    QLabel *headerLabel(const QString &name) const { return m_labels.value(name); }

    // Seams the tests answer: the save dialog, the file browser, the contextual prints.
    std::function<QString(const QString &current)> AskSaveFile;
    std::function<void(const QString &folder)> OpenFolder;
    // The main window's report command (preview placement); default: a window of its own.
    std::function<reports::ReportHost()> ReportHostFor;
    reports::TReportActivation *PrintActivation = nullptr;   // tests only; not owned
    ExportHooks hooks;

    // Rebuilds the pupils from the checked classes; the pop-up menu's commands.
    void classesChanged();
    void checkAllClasses(int how);   // 0 all, 1 none, 2 invert
    void selectBank(const QString &name);
    void rebuildDispositions();
    void rebuildFileName();
    // Writes the log of the current file again.
    void rewriteLog();

protected:
    bool canEnterPage(int page, bool forward) override;

public Q_SLOTS:
    void accept() override;

private:
    QWidget *buildParams();
    QWidget *buildPupils();
    QWidget *buildExport();
    void fillClasses();
    bool enterExport();
    bool loadBank(const QString &name);
public:
    // "Riepilogo" (the detail rows) or "Brogliaccio" (the dispositions) through the contextual prints.
    void printCategory(const QString &category);
    static reports::DataTable printTable(const QList<DetailRow> &rows, bool numbered);

private:

    QSqlDatabase m_db;
    QString m_main;
    int m_ansId = 0;
    int m_dwgId = 0;
    int m_sprIstId = 0;
    QList<BankLayoutEntry> m_catalogue;
    std::optional<BankLayout> m_layout;
    QList<DetailRow> m_rows;
    QList<Disposition> m_dispositions;
    QMap<QString, QWidget *> m_header;
    QMap<QString, QLabel *> m_labels;
};

} // namespace ccp::directdebit
