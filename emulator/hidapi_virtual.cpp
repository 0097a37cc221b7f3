// hidapi's C interface, served by the virtual bus instead of hidraw.
#include <hidapi.h>

#include <cstdlib>
#include <cwchar>

#include "bus.h"

using vr770::Bus;

namespace {

constexpr hid_api_version Version{HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR, HID_API_VERSION_PATCH};

} // namespace

extern "C" {

int hid_init(void) { return 0; }
int hid_exit(void) { return 0; }

struct hid_device_info *hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    return Bus::instance().enumerate(vendor_id, product_id);
}

void hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

hid_device *hid_open(unsigned short vendor_id, unsigned short product_id, const wchar_t *serial_number)
{
    hid_device_info *all = hid_enumerate(vendor_id, product_id);
    hid_device *handle = nullptr;
    for (hid_device_info *i = all; i && !handle; i = i->next) {
        if (serial_number && (!i->serial_number || std::wcscmp(serial_number, i->serial_number) != 0))
            continue;
        handle = hid_open_path(i->path);
        if (!handle)
            break; // hidapi opens the first match only
    }
    hid_free_enumeration(all);
    return handle;
}

hid_device *hid_open_path(const char *path) { return Bus::instance().open(path); }

int hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    return Bus::instance().write(dev, data, length);
}

int hid_read_timeout(hid_device *dev, unsigned char *data, size_t length, int milliseconds)
{
    return Bus::instance().read(dev, data, length, milliseconds);
}

int hid_read(hid_device *dev, unsigned char *data, size_t length)
{
    const int timeout = dev && dev->nonblocking ? 0 : -1;
    return Bus::instance().read(dev, data, length, timeout);
}

int hid_set_nonblocking(hid_device *dev, int nonblock)
{
    return Bus::instance().setNonblocking(dev, nonblock);
}

int hid_send_feature_report(hid_device *dev, const unsigned char *data, size_t length)
{
    return Bus::instance().sendFeatureReport(dev, data, length);
}

int hid_get_feature_report(hid_device *dev, unsigned char *data, size_t length)
{
    return Bus::instance().getFeatureReport(dev, data, length);
}

void hid_close(hid_device *dev) { Bus::instance().close(dev); }

const wchar_t *hid_error(hid_device *dev) { return Bus::instance().error(dev); }

// Not offered by the virtual devices: plain failures.
int hid_get_input_report(hid_device *, unsigned char *, size_t) { return -1; }
int hid_get_manufacturer_string(hid_device *, wchar_t *, size_t) { return -1; }
int hid_get_product_string(hid_device *, wchar_t *, size_t) { return -1; }
int hid_get_serial_number_string(hid_device *, wchar_t *, size_t) { return -1; }
struct hid_device_info *hid_get_device_info(hid_device *) { return nullptr; }
int hid_get_indexed_string(hid_device *, int, wchar_t *, size_t) { return -1; }

const struct hid_api_version *hid_version(void) { return &Version; }
const char *hid_version_str(void) { return HID_API_VERSION_STR; }

} // extern "C"
