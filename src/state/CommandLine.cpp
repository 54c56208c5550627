#include "state/CommandLine.h"

#include "state/RunState.h"

template <std::size_t N>
void SplitFields(const QString& text, std::array<QString, N + 1>& result,
                 const std::function<void()>& tooManyFields) {
    // The extra entry (index n) is cleared too, so it never carries text
    // left over from an earlier line.
    for (QString& entry : result) {
        entry.clear();
    }
    std::size_t field = 0;
    for (const QChar ch : text) {
        if (ch != QLatin1Char('-')) {
            // Text behind the (n+1)-th "-" has no entry to go to.
            if (field <= N) {
                result[field].append(ch);
            }
            continue;
        }
        ++field;
        if (field > N - 1) {
            tooManyFields();
        }
    }
}

template void SplitFields<10>(const QString&, std::array<QString, 11>&,
                              const std::function<void()>&);
template void SplitFields<5>(const QString&, std::array<QString, 6>&, const std::function<void()>&);

QString tooManyParametersMessage() {
    return QStringLiteral("Errore. troppi parametri nella linea di comando file EXE");
}

void Splitta10(RunState& state, const QString& commandLine,
               const std::function<void(const QString&)>& showMessage) {
    SplitFields<10>(commandLine, state.cmdParams, [&] { showMessage(tooManyParametersMessage()); });
}

void Splitta5(RunState& state, const QString& toSplit,
              const std::function<void(const QString&)>& showMessage) {
    SplitFields<5>(toSplit, state.copyrightFields,
                   [&] { showMessage(tooManyParametersMessage()); });
}

void ApplyCommandLineOptions(RunState& state) {
    for (int i = 0; i <= 9; ++i) {
        const QString& param = state.cmdParams[static_cast<std::size_t>(i)];
        if (param == QLatin1String("DEBUG_CODE")) {
            state.flagDebugCode = 1;
        } else if (param == QLatin1String("NOSILENT")) {
            state.flagSilent = 0;
        } else if (param == QLatin1String("QUIET")) {
            state.flagQuiet = 1;
        }
    }
    // The packaged units set it in their environment file.
    if (qEnvironmentVariable("SKYGLANCE_QUIET") == QLatin1String("1")) {
        state.flagQuiet = 1;
    }
}

QString commandLineText(const QStringList& arguments) {
    return arguments.mid(1).join(QLatin1Char(' '));
}
