#pragma once
#include <QKeySequence>
#include "TVeDialog.h"
#include "TVeFilter.h"

#include <QWidget>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ccp::fw {

// The filter frame: a list of conditions (field, operator, value, joined by E/O) over the
// fields of a filter definition. The SQL condition comes from the filter builder, which
// checks and quotes every value.
class TfrVeFilter : public QWidget
{
    Q_OBJECT
public:
    explicit TfrVeFilter(QWidget *parent = nullptr);

    void setDefinition(const FilterDefinition &definition);
    const FilterDefinition &definition() const { return m_definition; }
    void setFilter(const TVeFilter &filter);
    TVeFilter filter() const;
    // The SQL condition of the conditions shown (empty text: no condition).
    Result<QString> condition() const;

    int conditionCount() const { return int(m_rows.size()); }
    // Adds an empty condition row and puts the focus on its field.
    void addCondition();
    void removeCondition(int index);
    void clearConditions();

    // The controls of one condition row (for owners and tests).
    struct RowWidgets
    {
        QComboBox *join;
        QComboBox *field;
        QComboBox *op;
        QLineEdit *value;
        QPushButton *remove;
    };
    const RowWidgets &row(int index) const { return m_rows[index]; }

    // Saved filters as files (the owner picks the path).
    Status saveTo(const QString &path) const;
    Status loadFrom(const QString &path);

Q_SIGNALS:
    void changed();

private:
    void fillOperators(int index);
    void updatePreview();
    void relayout();

    FilterDefinition m_definition;
    QGridLayout *m_grid;
    QList<RowWidgets> m_rows;
    QPushButton *m_add;
    QPushButton *m_clear;
    QLabel *m_preview;
};

// Modal dialog "Filtro" around the frame: OK only with a valid condition.
class TfmVeFilter : public TVeDialog
{
    Q_OBJECT
public:
    explicit TfmVeFilter(QWidget *parent = nullptr);
    TfrVeFilter *frame() const { return m_frame; }
    // The keys of a list's filter actions: the dialog (Ctrl+F) and switching it on and off
    // (Ctrl+Shift+F).
    static QKeySequence dialogShortcut() { return QKeySequence(Qt::CTRL | Qt::Key_F); }
    static QKeySequence applyShortcut() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F); }

protected:
    bool validate() override;

private:
    TfrVeFilter *m_frame;
};

} // namespace ccp::fw
