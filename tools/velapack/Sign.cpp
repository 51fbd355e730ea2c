#include "tools/velapack/Sign.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace velapack {
namespace {

bool Readable(const std::string& path, std::string* start = nullptr)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    if (start) {
        char buffer[64] = {};
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
        start->assign(buffer, n);
    }
    std::fclose(f);
    return true;
}

bool IsPem(const std::string& path)
{
    std::string start;
    return Readable(path, &start) && start.find("-----BEGIN") != std::string::npos;
}

} // namespace

bool CheckSignOptions(const SignOptions& options, std::string& problem)
{
#ifdef _WIN32
    (void)options;
    problem = "signing runs osslsigncode; use the velapack built for the build machine";
    return false;
#endif
    if (!Readable(options.certificate)) {
        problem = "cannot read the certificate \"" + options.certificate + "\"";
        return false;
    }
    if (IsPem(options.certificate) && options.key.empty()) {
        problem = "a PEM certificate needs its key: --key KEY";
        return false;
    }
    if (!options.key.empty() && !Readable(options.key)) {
        problem = "cannot read the key \"" + options.key + "\"";
        return false;
    }
    if (!options.passwordFile.empty() && !options.passwordEnv.empty()) {
        problem = "give the password once: --pass-file or --pass-env";
        return false;
    }
    if (!options.passwordFile.empty() && !Readable(options.passwordFile)) {
        problem = "cannot read the password file \"" + options.passwordFile + "\"";
        return false;
    }
    if (!options.passwordEnv.empty() && !std::getenv(options.passwordEnv.c_str())) {
        problem = "the environment variable " + options.passwordEnv + " is not set";
        return false;
    }
    return true;
}

#ifdef _WIN32

bool SignInstaller(const std::string&, const SignOptions&, std::string&, std::string& err)
{
    err += "velapack: signing runs osslsigncode; use the velapack built for the build machine\n";
    return false;
}

#else

bool SignInstaller(const std::string& installerPath, const SignOptions& options, std::string& out, std::string& err)
{
    std::string problem;
    if (!CheckSignOptions(options, problem)) {
        err += "velapack: " + problem + "\n";
        return false;
    }
    // A password from the environment goes through a pipe that osslsigncode
    // reads as a file.
    int passwordPipe[2] = {-1, -1};
    std::string passwordPath = options.passwordFile;
    if (!options.passwordEnv.empty()) {
        const std::string password = std::getenv(options.passwordEnv.c_str());
        if (password.size() >= 4096 || pipe(passwordPipe) != 0 ||
            write(passwordPipe[1], password.data(), password.size()) != static_cast<ssize_t>(password.size())) {
            err += "velapack: cannot hand the password over\n";
            if (passwordPipe[0] >= 0) close(passwordPipe[0]);
            if (passwordPipe[1] >= 0) close(passwordPipe[1]);
            return false;
        }
        close(passwordPipe[1]);
        passwordPath = "/dev/fd/" + std::to_string(passwordPipe[0]);
    }

    const std::string signedPath = installerPath + ".signing";
    std::vector<std::string> args = {options.program, "sign"};
    if (options.key.empty()) {
        args.insert(args.end(), {"-pkcs12", options.certificate});
    } else {
        args.insert(args.end(), {"-certs", options.certificate, "-key", options.key});
    }
    if (!passwordPath.empty()) args.insert(args.end(), {"-readpass", passwordPath});
    if (!options.timestampUrl.empty()) args.insert(args.end(), {"-ts", options.timestampUrl});
    args.insert(args.end(), {"-h", "sha256", "-in", installerPath, "-out", signedPath});

    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int output[2];
    if (pipe(output) != 0) {
        err += "velapack: cannot start " + options.program + "\n";
        return false;
    }
    std::remove(signedPath.c_str());
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], 1);
        dup2(output[1], 2);
        close(output[0]);
        close(output[1]);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    if (passwordPipe[0] >= 0) close(passwordPipe[0]);
    std::string said;
    char buffer[4096];
    for (ssize_t n; (n = read(output[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(n));
    close(output[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        err += "velapack: " + options.program + " could not sign \"" + installerPath + "\"" +
               (child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 127 ? " (is osslsigncode installed?)" : "") +
               "\n" + said;
        std::remove(signedPath.c_str());
        return false;
    }
    if (std::rename(signedPath.c_str(), installerPath.c_str()) != 0) {
        err += "velapack: cannot replace \"" + installerPath + "\" by its signed copy\n";
        std::remove(signedPath.c_str());
        return false;
    }
    out += "velapack: signed " + installerPath + (options.timestampUrl.empty() ? "" : ", time-stamped") + "\n";
    return true;
}

#endif

} // namespace velapack
