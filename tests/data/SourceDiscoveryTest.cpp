#include "data/DataTestSupport.h"
#include "data/FolderVolumeSource.h"
#include "data/SourceDiscovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

class SourceDiscoveryTest : public ::testing::Test
{
protected:
    QString addDrive(const QString& name, const QString& label, bool withLog, bool ready = true)
    {
        const QString root = dir_.filePath(name);
        QDir().mkpath(root);
        if (withLog)
            WriteFile(QDir(root).filePath("data.log"), BytesOf({RecordFromHex(SampleRecordHex)}));
        volumes_.addFolder(root, label, ready);
        return root;
    }

    QTemporaryDir dir_;
    FolderVolumeSource volumes_;
};

TEST_F(SourceDiscoveryTest, OnlyReadyExistingVolumesAreScanned)
{
    const QString ready = addDrive("A", "X", false);
    addDrive("B", "X", true, false);
    volumes_.addFolder(dir_.filePath("missing"), "X");
    const QList<TVolume> drives = ScanDrives(volumes_);
    ASSERT_EQ(drives.size(), 1);
    EXPECT_EQ(drives[0].rootPath, ready);
    EXPECT_TRUE(FindCandidates(drives).isEmpty());
}

// A pipe named data.log would block the reader in open() for good; a folder
// of that name is no log either.
TEST_F(SourceDiscoveryTest, OnlyARegularFileIsACandidate)
{
    const QString withPipe = addDrive("A", "X", false);
    ASSERT_EQ(::mkfifo(QFile::encodeName(QDir(withPipe).filePath("data.log")).constData(), 0600), 0);
    const QString withFolder = addDrive("B", "X", false);
    QDir(withFolder).mkdir("DATA.LOG");
    const QString withLink = addDrive("C", "X", false);
    WriteFile(dir_.filePath("elsewhere.log"), BytesOf({RecordFromHex(SampleRecordHex)}));
    ASSERT_TRUE(QFile::link(dir_.filePath("elsewhere.log"), QDir(withLink).filePath("data.log")));

    const QList<TSourceCandidate> candidates = FindCandidates(ScanDrives(volumes_));
    ASSERT_EQ(candidates.size(), 1);
    EXPECT_EQ(candidates[0].volume.rootPath, withLink);
}

TEST_F(SourceDiscoveryTest, CandidatesAndAcceptedSourcesAreCapped)
{
    for (int i = 0; i < 1030; ++i)
        addDrive(QString("D%1").arg(i, 4, 10, QChar('0')), "2400123", true);
    const QList<TSourceCandidate> candidates = FindCandidates(ScanDrives(volumes_));
    EXPECT_EQ(candidates.size(), MaxSourceCandidates);
    const QList<TSourceCandidate> accepted = MatchVolumeLabels(candidates, "2400123", false);
    ASSERT_EQ(accepted.size(), MaxAcceptedSources);
    EXPECT_EQ(accepted.first().filePath, candidates.first().filePath);
    EXPECT_EQ(accepted.last().filePath, candidates[MaxAcceptedSources - 1].filePath);
}

TEST_F(SourceDiscoveryTest, LabelsAreComparedExactly)
{
    addDrive("A", "2400123", true);
    addDrive("B", "2400123 ", true);
    addDrive("C", "braxel", true);
    addDrive("D", "BRAXEL", true);
    const QList<TSourceCandidate> candidates = FindCandidates(ScanDrives(volumes_));
    ASSERT_EQ(candidates.size(), 4);
    struct Case {
        const char* name;
        QString expected;
        bool testMode;
        QString acceptedLabel;
    };
    const Case cases[] = {
        {"logger label", "2400123", false, "2400123"},
        {"test mode overrides the label", "2400123", true, "BRAXEL"},
        {"case counts", "Braxel", false, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<TSourceCandidate> accepted = MatchVolumeLabels(candidates, c.expected, c.testMode);
        ASSERT_EQ(accepted.size(), c.acceptedLabel.isNull() ? 0 : 1);
        if (!accepted.isEmpty()) {
            EXPECT_EQ(accepted[0].volume.label, c.acceptedLabel);
        }
    }
}

} // namespace
