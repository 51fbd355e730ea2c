#pragma once
// Authenticode signing of a finished installer through osslsigncode. The
// certificate is a PEM file with its key in a second PEM file, or a PKCS#12
// file holding both. A password comes from a file or from an environment
// variable, never from the command line: it reaches osslsigncode through a
// file it reads (the given file, or a pipe), so it shows in no process list.
#include <string>

namespace velapack {

struct SignOptions {
    std::string certificate;   // PEM certificate (chain) or PKCS#12 file
    std::string key;           // PEM private key; empty with PKCS#12
    std::string passwordFile;  // file whose first line is the password
    std::string passwordEnv;   // name of an environment variable holding it
    std::string timestampUrl;  // RFC 3161 time-stamp server; empty for none
    std::string program = "osslsigncode";
};

// Checks the options before anything is built: the files are readable, a
// PEM certificate has a key, one password source at most. False with a
// reason.
bool CheckSignOptions(const SignOptions& options, std::string& problem);

// Signs the installer in place (a signed copy replaces it only when signing
// succeeded). False with osslsigncode's diagnostics in err.
bool SignInstaller(const std::string& installerPath, const SignOptions& options, std::string& out, std::string& err);

} // namespace velapack
