// Nimbrel's DNS service in one process with the Activity window, for bench/activity/run.sh:
// the real service socket on 127.0.0.1:PORT serving the lists of the profile's filter folder,
// its query log and, with "window", the Activity window shown on Qt's offscreen platform and
// following the log. Qt runs the loop, the reactor's descriptor on a socket notifier, as in
// the program. Ends on SIGTERM.
#include <sys/socket.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "activity/QueryLog.h"
#include "dialogs/ActivityDialog.h"
#include "dialogs/qt/QtActivityWindow.h"
#include "dns/ActivitySink.h"
#include "dns/DnsSocket.h"
#include "dns/FilterLists.h"
#include "dns/QueryHandler.h"
#include "dns/UpstreamRelay.h"
#include "net/Reactor.h"
#include "settings/ProfileStore.h"
#include "shell/HeadlessDesktop.h"

namespace {

// Feeds the log as the main window does; the tray states go nowhere.
class CLogSink : public IActivitySink {
public:
    explicit CLogSink(CQueryLog& log) : m_log(log) {}
    int Activity() const override { return kIdle; }
    void SetActivity(int /*state*/) override {}
    void RecordQuery(const QueryRecord& record) override { m_log.Record(record); }

private:
    CQueryLog& m_log;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (std::string(argv[2]) != "window" && std::string(argv[2]) != "nowindow")) {
        std::fprintf(stderr, "usage: %s PORT window|nowindow PROFILE\n", argv[0]);
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    CReactor reactor;
    const ProfileStore profile(argv[3]);
    CQueryLog log;
    CLogSink sink(log);
    CFilterLists filters(profile, &sink);
    filters.LoadFilters();
    CUpstreamRelay relay(profile, &sink);
    relay.LoadProxyServers();
    CQueryHandler handler(filters, relay, profile, &sink);
    CDnsSocket service(handler);
    if (!service.Start(static_cast<unsigned>(std::atoi(argv[1])))) {
        std::perror("bind");
        return 1;
    }
    CHeadlessDesktop desktop;
    CActivityDialog dialog(log, filters, profile, desktop);
    std::unique_ptr<CQtActivityWindow> window;
    if (std::string(argv[2]) == "window") {
        window = std::make_unique<CQtActivityWindow>(dialog);
        window->show();
    }
    QSocketNotifier notifier(reactor.Fd(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated,
                     [&reactor] { reactor.DispatchReady(0); });
    reactor.PostOnSignal(SIGTERM, [] { QApplication::quit(); });
    return QApplication::exec();
}
