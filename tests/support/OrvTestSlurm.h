#ifndef ORV_TESTS_SUPPORT_ORVTESTSLURM_H
#define ORV_TESTS_SUPPORT_ORVTESTSLURM_H

// A one-machine Slurm cluster of a test's own: Start writes a slurm.conf into `folder` (its
// state, spool, logs and pid files there too; ports of its own, free when asked for; one
// node, this machine, with all its cores; auth/none and cred/none, so no munge), starts
// slurmctld and slurmd in the foreground as children of the test and waits, at most a bounded
// time, until the node answers idle. Clients reach it through SLURM_CONF=ConfigPath() only:
// nothing is written outside the folder, no system service is touched. The destructor stops
// both daemons by their process ids (SIGTERM, then SIGKILL after a bounded wait).
//
// Needs root (slurmd runs jobs as their user) and slurm-wlm; Unavailable says why not when
// either is missing. Owns the two daemon processes.

#include "support/OrvChildProcess.h"

#include <memory>
#include <string>

class OrvTestSlurm {
public:
    explicit OrvTestSlurm(const std::string& folder);
    ~OrvTestSlurm();
    OrvTestSlurm(const OrvTestSlurm&) = delete;
    OrvTestSlurm& operator=(const OrvTestSlurm&) = delete;

    // Empty when Slurm can run here; else the reason it cannot.
    static std::string Unavailable();

    // False with Error() set (the daemons' log tails) when the cluster did not come up.
    bool Start();
    const std::string& Error() const { return error; }
    std::string ConfigPath() const { return folder + "/slurm.conf"; }

private:
    void Stop(std::unique_ptr<OrvChildProcess>& daemon);

    std::string folder;
    std::unique_ptr<OrvChildProcess> controller;
    std::unique_ptr<OrvChildProcess> node;
    std::string error;
};

#endif
