#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Opening documents and web addresses with their associated program, and
// starting programs, through the desktop shell.
class Shell {
public:
    struct Result {
        bool ok = false;
        QString error; // the last-error record on failure
    };

    virtual ~Shell() = default;
    virtual Result openUrl(const QString& address);
    virtual Result startProgram(const QString& program, const QStringList& arguments = {},
                                const QString& workingFolder = {});
};

} // namespace platform
