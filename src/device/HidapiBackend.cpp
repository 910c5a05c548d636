#include "device/HidapiBackend.h"

#include <QThread>

#include <hidapi.h>

namespace {

QString fromWide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

// hidapi takes the report id in front of an output report but returns input
// reports of an unnumbered device without it; this puts it back (always 0).
class HidapiDevice : public HidDevice {
public:
    explicit HidapiDevice(hid_device* handle) : handle_(handle) {}
    ~HidapiDevice() override { hid_close(handle_); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    bool write(const quint8* data, int size) override
    {
        return HidWriteAccepted(hid_write(handle_, data, size_t(size)), size);
    }

    int read(quint8* data, int size, int timeoutMs) override
    {
        if (size < 1)
            return -1;
        const int count = hid_read_timeout(handle_, data + 1, size_t(size - 1), timeoutMs);
        if (count <= 0)
            return count < 0 ? -1 : 0;
        data[0] = 0;
        return count + 1;
    }

private:
    hid_device* handle_;
};

} // namespace

bool HidWriteAccepted(int written, int reportSize)
{
    return written >= reportSize;
}

HidapiBackend::~HidapiBackend()
{
    if (initialised_)
        hid_exit();
}

bool HidapiBackend::initialise()
{
    initialised_ = hid_init() == 0;
    return initialised_;
}

QList<HidDeviceInfo> HidapiBackend::enumerate(quint16 vendorId)
{
    QList<HidDeviceInfo> devices;
    hid_device_info* list = hid_enumerate(vendorId, 0);
    for (const hid_device_info* entry = list; entry; entry = entry->next) {
        devices.append({QString::fromLocal8Bit(entry->path), entry->vendor_id, entry->product_id,
                        fromWide(entry->serial_number)});
    }
    hid_free_enumeration(list);
    return devices;
}

std::unique_ptr<HidDevice> HidapiBackend::open(const QString& path, QString* reason)
{
    hid_device* handle = hid_open_path(path.toLocal8Bit().constData());
    if (!handle) {
        if (reason)
            *reason = fromWide(hid_error(nullptr));
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(handle);
}

void HidapiBackend::sleep(int ms)
{
    QThread::msleep(ulong(ms));
}
