#include "support/OrvTestSlurm.h"

#include "support/OrvTestFolder.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const char* const Controller = "/usr/sbin/slurmctld";
const char* const NodeDaemon = "/usr/sbin/slurmd";
const char* const Info = "/usr/bin/sinfo";

// A port no one listens on now, on the loopback address.
int FreePort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    close(s);
    return port;
}

std::string ShortHostName() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    std::string host = name;
    return host.substr(0, host.find('.'));
}

std::string Tail(const std::string& path) {
    std::string text = OrvReadFile(path);
    return path + ":\n" + (text.size() > 2000 ? text.substr(text.size() - 2000) : text);
}

} // namespace

OrvTestSlurm::OrvTestSlurm(const std::string& folder) : folder(folder) {}

OrvTestSlurm::~OrvTestSlurm() {
    Stop(node);
    Stop(controller);
}

std::string OrvTestSlurm::Unavailable() {
    if (access(Controller, X_OK) != 0 || access(NodeDaemon, X_OK) != 0 || access(Info, X_OK) != 0)
        return "slurm-wlm is not installed (scripts/install-deps.sh installs it)";
    if (geteuid() != 0)
        return "slurmd must run as root to start jobs, and this test is not root";
    return std::string();
}

bool OrvTestSlurm::Start() {
    mkdir((folder + "/state").c_str(), 0755);
    mkdir((folder + "/spool").c_str(), 0755);
    int controllerPort = FreePort();
    int nodePort = FreePort();
    while (nodePort == controllerPort)
        nodePort = FreePort();
    unsigned cores = std::thread::hardware_concurrency();
    std::string host = ShortHostName();
    {
        std::ofstream conf(ConfigPath());
        conf << "ClusterName=orvtest\n"
             << "SlurmctldHost=" << host << "(127.0.0.1)\n"
             << "SlurmctldPort=" << controllerPort << "\n"
             << "SlurmdPort=" << nodePort << "\n"
             << "AuthType=auth/none\nCredType=cred/none\n"
             << "SlurmUser=root\nSlurmdUser=root\n"
             << "StateSaveLocation=" << folder << "/state\n"
             << "SlurmdSpoolDir=" << folder << "/spool\n"
             << "SlurmctldPidFile=" << folder << "/slurmctld.pid\n"
             << "SlurmdPidFile=" << folder << "/slurmd.pid\n"
             << "SlurmctldLogFile=" << folder << "/slurmctld.log\n"
             << "SlurmdLogFile=" << folder << "/slurmd.log\n"
             << "ProctrackType=proctrack/linuxproc\nTaskPlugin=task/none\n"
             << "MpiDefault=none\nJobAcctGatherType=jobacct_gather/none\n"
             << "AccountingStorageType=accounting_storage/none\nJobCompType=jobcomp/none\n"
             << "SelectType=select/cons_tres\nSelectTypeParameters=CR_Core\n"
             << "SchedulerType=sched/builtin\nReturnToService=2\n"
             << "NodeName=" << host << " NodeAddr=127.0.0.1 CPUs=" << (cores ? cores : 1)
             << " RealMemory=1 State=UNKNOWN\n"
             << "PartitionName=test Nodes=ALL Default=YES MaxTime=INFINITE State=UP\n";
        if (!conf) {
            error = "cannot write " + ConfigPath();
            return false;
        }
    }
    std::vector<std::pair<std::string, std::string>> environment = {{"SLURM_CONF", ConfigPath()}};
    controller.reset(
        new OrvChildProcess(Controller, folder, environment, {}, {"-D", "-f", ConfigPath()}));
    node.reset(
        new OrvChildProcess(NodeDaemon, folder, environment, {}, {"-D", "-f", ConfigPath()}));

    // Up when the node answers idle; measured at about 1 s, allowed 30.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!controller->Running() || !node->Running())
            break;
        OrvChildProcess info(Info, folder, environment, {}, {"-h", "-o", "%T"});
        if (info.Wait(5000) && info.Output().find("idle") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error = "Slurm did not come up:\n" + Tail(folder + "/slurmctld.log") + "\n" +
            Tail(folder + "/slurmd.log") + "\n" + controller->Errors() + node->Errors();
    return false;
}

void OrvTestSlurm::Stop(std::unique_ptr<OrvChildProcess>& daemon) {
    if (!daemon || !daemon->Running())
        return;
    kill(daemon->Pid(), SIGTERM);
    daemon->Wait(10000); // kills it when it does not end by then
}
