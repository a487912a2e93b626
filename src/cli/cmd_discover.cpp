// dmctl discover: one discovery pass, one line per answer.
#include "cli/cli.h"

#include "comm/comports.h"
#include "comm/discovery.h"
#include "platform/serialports.h"

namespace dm::cli {

namespace {

InterfaceAddress parseInterface(const QString& text) {
    const qsizetype slash = text.indexOf(u'/');
    InterfaceAddress i{text.left(slash), slash < 0 ? QString() : text.mid(slash + 1)};
    if (slash < 0 || BroadcastAddress(i.address, i.netmask).isEmpty())
        throw UsageError{QStringLiteral("--interface needs ADDRESS/MASK, e.g. "
                                        "192.168.1.17/255.255.255.0")};
    return i;
}

int runDiscover(Context& ctx, Args& args) {
    DiscoveryOptions options;
    if (const auto s = args.take(QStringLiteral("--seconds"))) {
        bool ok = false;
        const double seconds = s->toDouble(&ok);
        if (!ok || seconds < 0 || seconds > 3600)
            throw UsageError{QStringLiteral("--seconds needs a number from 0 to 3600")};
        options.listenMs = int(seconds * 1000);
    }
    const QStringList named = args.takeAll(QStringLiteral("--interface"));
    const bool noSerial = args.takeFlag(QStringLiteral("--no-serial"));
    const bool verbose = args.takeFlag(QStringLiteral("--verbose"));
    args.expectEmpty();

    if (!named.isEmpty()) {
        QList<InterfaceAddress> list;
        for (const QString& n : named)
            list.append(parseInterface(n));
        options.interfaces = [list] { return list; };
    }
    if (verbose)
        options.onBroadcast = [&ctx](const QString& address) {
            ctx.err << "broadcast " << address << Qt::endl;
        };
    ctx.loadLanguage();
    if (!noSerial) {
        setActiveSerialPortMap(SerialPortMap::load(ctx.folder.terminalIni()));
        options.comPorts = probeComPorts();
        if (verbose)
            ctx.err << "serial ports " << options.comPorts.join(u' ') << Qt::endl;
    }
    const FoundScales found = runDiscoveryPass(options);
    for (qsizetype i = 0; i < found.addresses.size(); ++i) {
        const QString m = found.modes.value(i);
        const QChar mode = m.isEmpty() ? QChar() : m[0];
        ctx.out << found.addresses[i] << ' ' << int(mode.unicode());
        const QString word = scaleModeWord(mode);
        if (!word.isEmpty())
            ctx.out << ' ' << word;
        ctx.out << '\n';
    }
    return ExitOk;
}

const Registrar registrar{{QStringLiteral("discover"),
                           QStringLiteral("discover [--seconds N] [--interface ADDRESS/MASK]... "
                                          "[--no-serial] [--verbose]"),
                           runDiscover}};

} // namespace

} // namespace dm::cli
