#pragma once
// The wizard's pages as the start-up runs them: each run recorded by name,
// the welcome page answering as told, and the files as they were when the
// first page ran (the pictures must be on disk by then).
#include <map>
#include <string>
#include <vector>

#include "installer/package/Startup.h"
#include "installer/package/tests/FakePlatform.h"

namespace vela::test {

class RecordingPages : public IWizardPages {
public:
    std::vector<std::string> runs;
    bool welcomeResult = true;
    // What the files looked like when the first page ran.
    std::map<std::string, std::string> filesAtFirstPage;
    FakePlatform* sys = nullptr;

    void RunPathPageAsMain() override { Record("path"); }
    void RunSplash() override { Record("splash"); }
    bool RunWelcome() override
    {
        Record("welcome");
        return welcomeResult;
    }
    void RunLicenceAsMain() override { Record("licence"); }

private:
    void Record(const char* page)
    {
        if (runs.empty() && sys) filesAtFirstPage = sys->files;
        runs.push_back(page);
    }
};

} // namespace vela::test
