// What a downloaded zip archive says about itself before anything is
// unpacked: read from its central directory, never trusting a count or an
// offset that points outside the file.
#pragma once

#include <QString>

struct ZipListing {
    enum Status {
        Readable,
        NotZip,   // no central directory where a zip archive has one
        Unsafe    // 64-bit sizes, an absolute or "../" name
    };
    Status status = NotZip;
    int entries = 0;
    // The sum of the listed unpacked sizes.
    qint64 unpackedBytes = 0;
};

ZipListing readZipListing(const QString &path);
