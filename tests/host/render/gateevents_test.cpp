// --events and --plot: the gate meter read every millisecond, whatever the
// block size, without changing a sample of the audio.
#include "hosttestfixture.h"

#include <cmath>
#include <sstream>

namespace QuorvaneTest
{

namespace
{

constexpr int kRate = 48000;
const size_t kBursts[] = {9600, 30000, 57611}; // 0.2 s, 0.625 s, 1.2002 s
constexpr size_t kBurstLength = 2400;          // 50 ms at -12 dBFS, silence between

Channels bursts()
{
    Channels data = silence(1, kRate * 3 / 2);
    Channels tone = sine(1, static_cast<int>(kBurstLength), kRate, 500.0, -12.0);
    for (size_t start : kBursts)
        std::copy(tone[0].begin(), tone[0].end(), data[0].begin() + static_cast<long>(start));
    return data;
}

struct Event
{
    std::string file;
    std::string kind;
    double seconds;
    long sample;
};

std::vector<Event> readEvents(const std::string& csv, std::string& header)
{
    std::vector<Event> events;
    std::istringstream in(csv);
    std::getline(in, header);
    for (std::string line; std::getline(in, line);)
    {
        Event e;
        if (line[0] == '"') // a quoted name: "a ""b"", c.wav"
        {
            size_t end = 1;
            for (; end < line.size(); ++end)
            {
                if (line[end] == '"' && end + 1 < line.size() && line[end + 1] == '"')
                    e.file += line[++end];
                else if (line[end] == '"')
                    break;
                else
                    e.file += line[end];
            }
            line = line.substr(end + 1);
        }
        std::istringstream fields(line);
        std::string seconds, sample, unquoted;
        std::getline(fields, unquoted, ',');
        if (e.file.empty())
            e.file = unquoted;
        std::getline(fields, e.kind, ',');
        std::getline(fields, seconds, ',');
        std::getline(fields, sample, ',');
        e.seconds = std::stod(seconds);
        e.sample = std::stol(sample);
        events.push_back(e);
    }
    return events;
}

} // namespace

class GateEventsTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        REQUIRE_BUNDLE();
        ASSERT_TRUE(writeAudio(path("hits.wav"), bursts(), kRate));
    }

    std::vector<Event> renderEvents(const std::string& block, const std::string& out)
    {
        auto result = runQuorvane({"render", "hits.wav", out, "--plugin", bundle(), "--block",
                                   block, "--events", "events.csv", "--quiet"},
                                  folder);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::string header;
        auto events = readEvents(fileContents(path("events.csv")), header);
        EXPECT_EQ(header, "file,event,seconds,sample");
        return events;
    }
};

TEST_F(GateEventsTest, OpeningsAreFoundWithinAMillisecondWhateverTheBlockSize)
{
    auto reference = renderEvents("512", "ref.wav");
    ASSERT_EQ(reference.size(), 6u);
    for (size_t i = 0; i < 3; ++i)
    {
        const Event& open = reference[2 * i];
        const Event& close = reference[2 * i + 1];
        EXPECT_EQ(open.file, "hits.wav");
        EXPECT_EQ(open.kind, "open");
        EXPECT_EQ(close.kind, "close");
        // The gate opens on the burst's first loud samples: within a millisecond.
        EXPECT_GE(open.sample, static_cast<long>(kBursts[i]) - 48) << "burst " << i;
        EXPECT_LE(open.sample, static_cast<long>(kBursts[i]) + 48) << "burst " << i;
        // And closes after the burst, before the next one.
        EXPECT_GT(close.sample, static_cast<long>(kBursts[i] + kBurstLength));
        if (i < 2)
        {
            EXPECT_LT(close.sample, static_cast<long>(kBursts[i + 1]));
        }
        for (const Event* e : {&open, &close})
            EXPECT_NEAR(e->seconds, static_cast<double>(e->sample) / kRate, 1e-6);
    }

    // A block longer than the gaps between hits finds the same moments, and
    // the audio is that of a render without events.
    for (const char* block : {"4096", "37"})
    {
        auto other = renderEvents(block, std::string("b") + block + ".wav");
        ASSERT_EQ(other.size(), reference.size()) << block;
        for (size_t i = 0; i < other.size(); ++i)
            EXPECT_EQ(other[i].sample, reference[i].sample) << "block " << block << " event " << i;
    }
    auto plain = runQuorvane(
        {"render", "hits.wav", "plain.wav", "--plugin", bundle(), "--block", "4096", "--quiet"},
        folder);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(fileContents(path("plain.wav")), fileContents(path("b4096.wav")));
}

TEST_F(GateEventsTest, BatchListsEveryFileAndPlotsUseTheFineReadings)
{
    const std::string odd = "take \"2\", again.wav"; // a name that needs quoting in CSV
    std::filesystem::copy_file(path("hits.wav"), path(odd));
    auto result = runQuorvane({"render", "hits.wav", odd, "--out-dir", "out", "--plugin", bundle(),
                               "--events", "all.csv", "--quiet"},
                              folder);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string header;
    auto events = readEvents(fileContents(path("all.csv")), header);
    ASSERT_EQ(events.size(), 12u);
    // Files in the order given, whichever finished first.
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(events[i].file, i < 6 ? "hits.wav" : odd);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(events[i].sample, events[i + 6].sample);

    auto plot = runQuorvane({"render", "hits.wav", "p.wav", "--plugin", bundle(), "--block",
                             "65536", "--plot", "p.png"},
                            folder);
    ASSERT_EQ(plot.exitCode, 0) << plot.err;
    EXPECT_EQ(fileContents(path("p.png")).substr(0, 4), "\x89PNG");
    // 3 × 50 ms bursts plus hold and release: far less than a 1.36 s block.
    auto at = plot.out.find("gate open");
    ASSERT_NE(at, std::string::npos) << plot.out;
    EXPECT_LT(std::stod(plot.out.substr(at + 9)), 0.6) << plot.out;

    auto wrongName = runQuorvane({"render", "hits.wav", "x.wav", "--events", "events.txt"}, folder);
    EXPECT_EQ(wrongName.exitCode, 2);
    EXPECT_FALSE(fileExists(path("x.wav")));
}

} // namespace QuorvaneTest
