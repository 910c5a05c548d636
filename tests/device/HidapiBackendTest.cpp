#include "device/HidapiBackend.h"
#include "device/TDeviceLink.h"

#include <gtest/gtest.h>

namespace {

// Runs against the machine's real HID devices; no logger is attached here.
TEST(HidapiBackend, WithoutALoggerAPassFindsNothingAndSaysSo)
{
    auto backend = std::make_unique<HidapiBackend>();
    ASSERT_TRUE(backend->initialise());
    for (const HidDeviceInfo& info : backend->enumerate())
        ASSERT_FALSE(TDeviceLink::IsLogger(info.vendorId, info.productId)) << "a logger is attached";
    QString reason;
    EXPECT_EQ(backend->open(QStringLiteral("/dev/no-such-hidraw"), &reason), nullptr);
    EXPECT_FALSE(reason.isEmpty());

    TDeviceLink link(std::move(backend));
    QStringList lines;
    QObject::connect(&link, &TDeviceLink::statusLogged,
                     [&lines](const QString& line) { lines.append(line); });
    ASSERT_TRUE(link.LoadHidLibrary());
    EXPECT_EQ(link.DetectionPass(), TDeviceLink::DetectionResult::Lost);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QString::fromUtf8("Подключенных приборов КОРВИ не обнаружено")));
}

} // namespace
