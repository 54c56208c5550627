#pragma once

#include "platform/NetProxy.h"
#include "ui/Diagnostics.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct RunState;
namespace platform {
class Dialogs;
}

// The proxy file and its twin backup: address, port, user name, the password
// transformed, then "1" for a proxy or "0" for a direct connection; CR LF line
// ends. A direct connection leaves the first four lines empty.

inline constexpr char kProxyBackupFileName[] = "Skyglance7_Proxy.bak";

// Each Latin-1 character c becomes 255 - c; applied twice it gives the text
// back. Characters outside Latin-1 are kept as they are: they cannot be stored,
// and unstorablePasswordChar() finds them before a write.
QString TransformPassword(const QString& text);

// The first character of the password that the proxy file cannot hold: one
// outside Latin-1, or one whose transform would be a line end or NUL.
std::optional<QString> unstorablePasswordChar(const QString& password);

// The password must pass unstorablePasswordChar() when the proxy is enabled.
QByteArray formatProxyFile(const platform::ProxySetting& setting);
// Missing lines read as empty; anything but "1" on line 5 is a direct connection.
platform::ProxySetting parseProxyFile(const QByteArray& bytes);

// The refusal of an unstorable password character, by language (English
// outside 1 to 4).
QString passwordRefusedText(const QString& character, int lingua);

// The connection type chosen in the frame Frame_Select_Connection, the proxy
// file and its backup, and the proxy given to the transfer of catalogue
// requests through the proxyApplied signal. The diagnostics read the controls'
// proxy through it.
class Connection : public QObject, public ProxySource {
    Q_OBJECT
public:
    Connection(RunState& state, platform::Dialogs& dialogs, QFrame* Frame_Select_Connection,
               QObject* parent = nullptr);

    void CheckConnectionSettings();
    // Shows the frame centred in its parent and returns once "OK - GO!" has
    // confirmed a choice (or the program is ending).
    void AskConnectionType();
    // False when the files were not written (an unstorable password, shown
    // to the user, or a write failure); the proxy is applied in any case.
    bool ApplyConnectionSettings();

    // False when the file is missing or unreadable; the controls stay as they were.
    bool ReadProxyFile();
    bool ReadProxyBackup();
    bool WriteProxyFile();
    bool WriteProxyBackup();

    void No_Proxy_Click();
    void Proxy_Click();
    void Connection_Selected_Click();
    void Connection_Click();
    void TestReadProxy_Click();

    // The proxy as the controls hold it (empty values for a direct connection).
    platform::ProxySetting currentSetting() const override;
    QString proxyFilePath() const;
    QString proxyBackupPath() const;

    // Run-state variables: -1 true, 0 false.
    int16_t Proxy_Enabled = 0;
    int16_t Wait_Type_Connection = 0;

    QLabel* Frame_Select_ConnectionCaption = nullptr;
    QRadioButton* No_Proxy = nullptr;
    QRadioButton* Proxy = nullptr;
    QLineEdit* Proxy_Address = nullptr;
    QLineEdit* Proxy_Port = nullptr;
    QLineEdit* Proxy_Username = nullptr;
    QLineEdit* Proxy_Password = nullptr;
    QPushButton* Connection_Selected = nullptr;
    QPushButton* TestReadProxy = nullptr;

signals:
    // The settings are applied: the proxy for the transfer of requests.
    void proxyApplied(const platform::ProxySetting& proxy);
    // A step of the wait for the choice, the frame just brought to the front
    // (the window keeps its countdown label above it).
    void frameRaised();

private:
    void createControls();
    void setProxyBoxesEnabled(bool enabled);
    void showCaptionsForLanguage();
    void centreFrame();
    bool readInto(const QString& path);
    bool passwordRefused();
    bool waitIsOver() const;

    RunState& state_;
    platform::Dialogs& dialogs_;
    QPointer<QFrame> frame_;
};
