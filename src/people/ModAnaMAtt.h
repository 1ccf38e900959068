#pragma once
#include "TVeLaunchers.h"

#include <QSqlDatabase>
#include <functional>
#include <optional>

namespace ccp::people {

// Option flags a frame request may add (what the registry window shows beside the basics).
namespace AnaOption {
inline constexpr int Phones = 1;
inline constexpr int EMail = 2;
inline constexpr int Addresses = 4;
inline constexpr int Citizenship = 32;
inline constexpr int Parents = 128;
inline constexpr int Classes = 256;
inline constexpr int EmploymentStatus = 2048;
} // namespace AnaOption

// The launcher module of the suite's people registry: its one launcher opens the registry
// window for the allowed categories; a program configures it before each launch.
class TdmModAnaAtt : public fw::TdmVeAttivazioni
{
    Q_OBJECT
public:
    static inline const QString WindowClass = QStringLiteral("TfmAnaAnagrafiche");

    explicit TdmModAnaAtt(QSqlDatabase db, QObject *parent = nullptr);
    ~TdmModAnaAtt() override;
    static TdmModAnaAtt *instance();

    QSqlDatabase db() const { return m_db; }
    void setDb(QSqlDatabase db) { m_db = std::move(db); }

    QList<int> CategorieAmmesse;
    std::optional<QList<int>> CategorieNascoste;    // nullopt: not set
    QList<int> FilterDialogSpecificsDef;

    // Asked by the registry window for a category: option flags are added to `flags`, and
    // frame class names and tab titles appended in pairs.
    using FrameRequest = std::function<void(int category, int &flags, QStringList &framesAndTitles)>;
    FrameRequest OnRequestFrames;
    void requestFrames(int category, int &flags, QStringList &framesAndTitles) const;

    // The registry's own launcher.
    fw::TVeAttForm *xafAnagrafiche = nullptr;

    // Registers the registry window in the window registry (once).
    static void registerWindows();

private:
    QSqlDatabase m_db;
};

} // namespace ccp::people
