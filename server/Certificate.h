// The data server's TLS identity: a self-signed certificate and its key, made on first start.
#pragma once

#include <string>

// Creates an EC P-256 key and a self-signed certificate (ten years) as PEM files unless both
// files exist already. The key file is readable by its owner only. False with `error`.
bool EnsureCertificate(const std::string &certificateFile, const std::string &keyFile, std::string &error);
