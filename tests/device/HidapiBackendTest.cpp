#include "device/HidapiBackend.h"
#include "device/TDeviceLink.h"

#include <gtest/gtest.h>

namespace {

// Runs against the machine's real HID devices; no logger is attached here.
TEST(HidapiBackend, WithoutALoggerAPassFindsNothingAndSaysSo)
{
    auto backend = std::make_unique<HidapiBackend>();
    ASSERT_TRUE(backend->initialise());
    for (const HidDeviceInfo& info : backend->enumerate(TDeviceLink::LoggerVendorId)) {
        EXPECT_EQ(info.vendorId, TDeviceLink::LoggerVendorId);
        ASSERT_FALSE(TDeviceLink::isLogger(info.vendorId, info.productId)) << "a logger is attached";
    }
    QString reason;
    EXPECT_EQ(backend->open(QStringLiteral("/dev/no-such-hidraw"), &reason), nullptr);
    EXPECT_FALSE(reason.isEmpty());

    TDeviceLink link(std::move(backend));
    QStringList lines;
    QObject::connect(&link, &TDeviceLink::statusLogged,
                     [&lines](const QString& line) { lines.append(line); });
    ASSERT_TRUE(link.LoadHidLibrary());
    EXPECT_EQ(link.detectionPass(), TDeviceLink::DetectionResult::Lost);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QString::fromUtf8("Подключенных приборов КОРВИ не обнаружено")));
}

// A report of 10 bytes goes out when the library counts at least 10: Windows
// pads it to the device's report length and counts the padding.
TEST(HidapiBackend, AWriteCountsWhenTheWholeReportWentOut)
{
    struct Case {
        int written;
        bool accepted;
    };
    const Case cases[] = {{10, true}, {65, true}, {11, true}, {9, false}, {0, false}, {-1, false}};
    for (const Case& c : cases)
        EXPECT_EQ(HidWriteAccepted(c.written, 10), c.accepted) << c.written << " bytes written";
}

} // namespace
