#pragma once
#include "Result.h"

#include <QString>
#include <memory>
#include <optional>

namespace ccp::abiban {

// Domestic bank account number (BBAN) of one country. Bank, branch and account are written
// raw; with Normalize set the getters pad them to the country's lengths and store the result
// back, so after a computation the fields hold the normalised parts.
class TCustomBBAN
{
public:
    TCustomBBAN() = default;
    virtual ~TCustomBBAN() = default;
    TCustomBBAN(const TCustomBBAN &) = delete;
    TCustomBBAN &operator=(const TCustomBBAN &) = delete;

    bool Normalize() const { return m_normalize; }
    void SetNormalize(bool on) { m_normalize = on; }

    // Raw writes.
    void SetBank(const QString &bank) { m_bank = bank; }
    void SetBranch(const QString &branch) { m_branch = branch; }
    void SetAccount(const QString &account) { m_account = account; }

    // The fields as they stand: raw, or normalised once a getter has run.
    const QString &Bank() const { return m_bank; }
    const QString &Branch() const { return m_branch; }
    const QString &Account() const { return m_account; }
    // The last check letter (CIN) and BBAN computed.
    const QString &CheckLetter() const { return m_checkLetter; }
    const QString &LastBBan() const { return m_bban; }

    quint16 BankLength() const { return m_bankLength; }
    quint16 BranchLength() const { return m_branchLength; }
    quint16 AccountLength() const { return m_accountLength; }
    const QString &CountryCode() const { return m_countryCode; }

    // Normalising getters. A part longer than its length cannot be normalised: error.
    virtual Result<QString> GetBank();
    virtual Result<QString> GetBranch();
    virtual Result<QString> GetAccount();
    // The check letter and the composed BBAN, computed on each call.
    virtual Result<QString> GetCheckDgt() = 0;
    virtual Result<QString> GetBBan() = 0;

    Result<QString> CheckDgt() { return GetCheckDgt(); }
    Result<QString> BBan() { return GetBBan(); }

protected:
    QString m_bank;
    QString m_branch;
    QString m_account;
    QString m_checkLetter;
    QString m_bban;
    bool m_normalize = false;
    quint16 m_bankLength = 0;
    quint16 m_branchLength = 0;
    quint16 m_accountLength = 0;
    QString m_countryCode;
};

// Italian BBAN: CIN + ABI (5) + CAB (5) + account (12).
class TItalianBBAN : public TCustomBBAN
{
public:
    TItalianBBAN();

    Result<QString> GetCheckDgt() override;
    Result<QString> GetBBan() override;
};

// IBAN = country code + two check digits (ISO 7064 MOD 97-10) + the domestic BBAN.
class TIBAN
{
public:
    TIBAN() = default;
    TIBAN(const TIBAN &) = delete;
    TIBAN &operator=(const TIBAN &) = delete;

    TCustomBBAN *DomesticBBAN() const { return m_domestic.get(); }
    void SetDomesticBBAN(std::unique_ptr<TCustomBBAN> bban) { m_domestic = std::move(bban); }

    // Computes the check digits and the IBAN from the domestic BBAN and stores both.
    Result<QString> GetIBan();
    Result<QString> IBan() { return GetIBan(); }

    const QString &LastIBan() const { return m_iban; }
    bool Valid() const { return m_valid; }
    void SetValid(bool valid) { m_valid = valid; }
    const QString &CheckDigits() const { return m_checkDigits; }

private:
    std::unique_ptr<TCustomBBAN> m_domestic;
    QString m_iban;
    bool m_valid = false;
    QString m_checkDigits;
};

// t mod 97 of a text made only of decimal digits, reduced nine digits at a time so that no
// intermediate value overflows; -1 when the text holds anything but digits.
int Mod97(QStringView digits);

// The country-code-last text of an IBAN check turned into digits: letters A..Z become 10..35.
// Empty optional when a character is neither a digit nor an upper-case letter.
std::optional<QString> LettersToDigits(QStringView text);

} // namespace ccp::abiban
