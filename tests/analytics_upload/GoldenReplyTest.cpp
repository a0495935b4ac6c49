#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/packages/NSUploadStrategyPackage.h"
#include "support/LoopbackEnvelope.h"

#include <gtest/gtest.h>

#include <initializer_list>

// Replies as an endpoint sends them, composed byte by byte from the wire
// format (field head: tag in the high four bits, type in the low four;
// integers in their narrowest form, big-endian), not by the project's writer.
// A fault that the writer and the reader share cannot pass these.

namespace {

// Each piece is either hex ("0A 0C") or, after a leading '=', ASCII text.
QByteArray compose(std::initializer_list<const char*> pieces)
{
    QByteArray out;
    for (const char* piece : pieces)
        out += piece[0] == '=' ? QByteArray(piece + 1) : QByteArray::fromHex(QByteArray(piece).replace(' ', ""));
    return out;
}

// The Nux packet around one attribute "detail" of type
// "common.ResponsePackage" whose value is `valueLength` bytes long.
QByteArray envelope(const char* totalLength, const char* bufferLength, const char* valueLength, const QByteArray& value)
{
    return compose({totalLength,
                    "10 02",                    // tag 1 version: 2 as a char
                    "2C",                       // tag 2 packet type 0: zero head
                    "3C",                       // tag 3 message type 0
                    "4C",                       // tag 4 request id 0
                    "56 06", "=upload",         // tag 5 servant, 1-byte length
                    "66 06", "=access",         // tag 6 function
                    "7D 00", bufferLength,      // tag 7 buffer: simple list, int8 element head, count
                    "08 00 01",                 // attribute map at tag 0, one entry
                    "06 06", "=detail",         // key
                    "18 00 01",                 // value: map at tag 1, one entry
                    "06 16", "=common.ResponsePackage",
                    "1D 00", valueLength})      // the struct's bytes at tag 1
        + value
        + compose({"8C",                        // tag 8 timeout 0
                   "98 0C",                     // tag 9 context: map, count 0
                   "A8 0C"});                   // tag 10 status: map, count 0
}

std::shared_ptr<NSResponsePackage> parse(const QByteArray& bytes, AnaError* error)
{
    return AnaNuxWrapHelper().createRspData(bytes, "detail", QString(), error);
}

}

TEST(GoldenReply, ResultZeroWithAnEmptyBody)
{
    const QByteArray value = compose({"0A",                          // struct begin, tag 0
                                      "0C",                          // tag 0 result 0
                                      "10 04",                       // tag 1 cmd 4
                                      "2D 00 0C",                    // tag 2 body: no bytes
                                      "36 09", "=127.0.0.1",         // tag 3 gateway
                                      "40 01",                       // tag 4 cipher 1
                                      "50 02",                       // tag 5 compression 2
                                      "6C",                          // tag 6 server time 0
                                      "0B"});                        // struct end
    ASSERT_EQ(value.size(), 24);
    const QByteArray reply = envelope("00 00 00 64", "00 42", "00 18", value);
    ASSERT_EQ(reply.size(), 100);

    AnaError error;
    const auto response = parse(reply, &error);
    ASSERT_TRUE(response) << error.description.toStdString();
    EXPECT_EQ(response->result, 0);
    EXPECT_EQ(response->cmd, 4);
    EXPECT_EQ(response->gateWayIp, QString("127.0.0.1"));
    EXPECT_EQ(response->encryType, 1);
    EXPECT_EQ(response->zipType, 2);
    EXPECT_EQ(response->serverTime, 0);
    EXPECT_FALSE(response->sBuffer);

    // The test server's writer produces the same bytes.
    LoopbackEnvelope::Reply same;
    EXPECT_EQ(LoopbackEnvelope::encodeReply(same).toHex(' '), reply.toHex(' '));

    // A field of the unknown type 14 met while seeking a header field is the
    // data's error: before the required version (tag 1), and before the
    // optional timeout (tag 8), which must not silently go missing.
    QByteArray junkHead = QByteArray(reply).insert(4, char(0x0E));
    QByteArray junkTail = QByteArray(reply).insert(reply.size() - 5, char(0x7E));
    junkHead[3] = junkTail[3] = char(101);   // the length prefix counts the extra byte
    for (const QByteArray& junk : {junkHead, junkTail}) {
        EXPECT_FALSE(parse(junk, &error));
        EXPECT_EQ(error.code, 7);
        EXPECT_EQ(error.description.toStdString(),
                  "error decode rsp packet skipField with invalid type, type value:14.");
    }
}

TEST(GoldenReply, UploadStrategyOfCommandEight)
{
    // The body: the strategy's fields from the start, no struct head; sent
    // untransformed (cipher and compression bytes 255).
    const QByteArray body = compose({"00 03",                                 // tag 0 testCount 3
                                     "10 1E",                                 // tag 1 maxPackageSize 30
                                     "20 01",                                 // tag 2 uploadStrategy 1
                                     "36 20", "=http://10.9.8.7/analytics/upload",
                                     "48 00 02",                              // tag 4 map, two entries
                                     "00 01 10 01",                           // 1 → true
                                     "00 03 1C"});                            // 3 → false (zero head)
    ASSERT_EQ(body.size(), 50);
    const QByteArray value = compose({"0A", "0C", "10 08", "2D 00 00 32"}) + body
        + compose({"36 08", "=10.1.2.3",
                   "40 FF", "50 FF",                         // no cipher, no compression
                   "63 00 00 01 8B CF E5 68 7B",             // tag 6 int64 1700000000123
                   "0B"});
    ASSERT_EQ(value.size(), 82);
    const QByteArray reply = envelope("00 00 00 9E", "00 7C", "00 52", value);
    ASSERT_EQ(reply.size(), 158);

    AnaError error;
    const auto response = parse(reply, &error);
    ASSERT_TRUE(response) << error.description.toStdString();
    EXPECT_EQ(response->result, 0);
    EXPECT_EQ(response->cmd, 8);
    EXPECT_EQ(response->gateWayIp, QString("10.1.2.3"));
    EXPECT_EQ(response->serverTime, 1700000000123LL);
    auto upload = std::dynamic_pointer_cast<NSUploadStrategyPackage>(response->sBuffer);
    ASSERT_TRUE(upload);
    EXPECT_EQ(upload->testCount, 3);
    EXPECT_EQ(upload->maxPackageSize, 30);
    EXPECT_EQ(upload->uploadStrategy, 1);
    EXPECT_EQ(upload->uploadServer, QString("http://10.9.8.7/analytics/upload"));
    ASSERT_TRUE(upload->moduleStrategy);
    EXPECT_EQ(*upload->moduleStrategy, (std::map<int, bool>{{1, true}, {3, false}}));
}
