// Placeholder until the virtual R770 lands: no device is ever present.
#include <hidapi.h>

extern "C" {
int hid_init(void) { return 0; }
int hid_exit(void) { return 0; }
struct hid_device_info *hid_enumerate(unsigned short, unsigned short) { return nullptr; }
void hid_free_enumeration(struct hid_device_info *) {}
hid_device *hid_open_path(const char *) { return nullptr; }
void hid_close(hid_device *) {}
int hid_set_nonblocking(hid_device *, int) { return -1; }
int hid_send_feature_report(hid_device *, const unsigned char *, size_t) { return -1; }
int hid_get_feature_report(hid_device *, unsigned char *, size_t) { return -1; }
int hid_write(hid_device *, const unsigned char *, size_t) { return -1; }
int hid_read(hid_device *, unsigned char *, size_t) { return -1; }
int hid_read_timeout(hid_device *, unsigned char *, size_t, int) { return -1; }
const wchar_t *hid_error(hid_device *) { return L"no device"; }
}
