#include "core/platform/DiskVolumeIdentity.h"

#include "core/platform/MountTable.h"
#include "core/util/FolderListing.h"
#include "core/util/FolderPath.h"

#include <blkid/blkid.h>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace tavelin {

namespace {

std::string realPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

std::string fromByUuid(const std::string& folder, const std::string& device) {
    FolderListing listing(folder);
    if (!listing.valid()) {
        return {};
    }
    const std::string wanted = realPath(device);
    while (const dirent* e = listing.next()) {
        if (e->d_name[0] != '.' && realPath(FolderPath::join(folder, e->d_name)) == wanted) {
            return e->d_name;
        }
    }
    return {};
}

std::string fromSuperblock(const std::string& device) {
    struct ProbeDeleter {
        void operator()(blkid_probe p) const { blkid_free_probe(p); }
    };
    std::unique_ptr<std::remove_pointer_t<blkid_probe>, ProbeDeleter> probe(
        blkid_new_probe_from_filename(device.c_str()));
    if (!probe) {
        return {};
    }
    blkid_probe_enable_superblocks(probe.get(), 1);
    blkid_probe_set_superblocks_flags(probe.get(), BLKID_SUBLKS_UUID);
    if (blkid_do_safeprobe(probe.get()) != 0) {
        return {};
    }
    const char* value = nullptr;
    if (blkid_probe_lookup_value(probe.get(), "UUID", &value, nullptr) != 0 || value == nullptr) {
        return {};
    }
    return value;
}

} // namespace

DiskVolumeIdentity::DiskVolumeIdentity(std::string mountInfoPath, std::string byUuidFolder)
    : mountInfoPath_(std::move(mountInfoPath)), byUuidFolder_(std::move(byUuidFolder)) {}

std::string DiskVolumeIdentity::deviceOf(const std::string& mountInfoText,
                                         const std::string& deviceNumber) {
    std::string device;
    for (const auto& v : MountTable::parse(mountInfoText, true)) {
        if (v.deviceNumber == deviceNumber) {
            device = v.device; // the last mount of it is the one in use
        }
    }
    return device;
}

std::string DiskVolumeIdentity::uuidOf(const std::string& path) const {
    // The nearest folder that exists: an unplugged drive's mount point, or the root disk.
    std::string existing = FolderPath::normalized(path);
    struct stat st {};
    while (::stat(existing.c_str(), &st) != 0) {
        existing = FolderPath::parentOf(existing);
        if (existing.empty()) {
            return {};
        }
    }
    std::ifstream in(mountInfoPath_);
    std::stringstream text;
    text << in.rdbuf();
    const std::string device = deviceOf(text.str(), std::to_string(major(st.st_dev)) + ":" +
                                                        std::to_string(minor(st.st_dev)));
    if (!device.starts_with("/dev/")) {
        return {}; // no block device: a network or memory file system
    }
    if (std::string uuid = fromByUuid(byUuidFolder_, device); !uuid.empty()) {
        return uuid;
    }
    return fromSuperblock(device);
}

} // namespace tavelin
