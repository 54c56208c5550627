#include "NginxFront.h"

#include "FileHelpers.h"
#include "LoopbackPeers.h"

NginxFront::NginxFront() : port_(nettest::deadPort()) {}

bool NginxFront::start(const QString& servers) {
    stop();
    const QString d = dir_.path();
    writeFile(d + "/nginx.conf",
              QStringLiteral("daemon off; master_process off; pid %1/nginx.pid;\n"
                             "error_log %1/error.log; events {}\n"
                             "http { access_log off; client_body_temp_path %1;\n"
                             " proxy_temp_path %1; fastcgi_temp_path %1; uwsgi_temp_path %1;\n"
                             " scgi_temp_path %1;\n%2\n}\n")
                  .arg(d, servers)
                  .toUtf8());
    process_.start("nginx", {"-p", d, "-e", d + "/error.log", "-c", d + "/nginx.conf"});
    return nettest::waitUntilListening(port_, 10000);
}

void NginxFront::stop() {
    process_.terminate();
    process_.waitForFinished(5000);
}
