#include "net/connection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "platform/platform_socket.h"
#include "tests/net/net_test_servers.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class ConnectionTest : public NetTest {
 protected:
  // Connects to the scripted server and sends a request for the script.
  ConnectionRecord* Request(const std::string& script) {
    ConnectionRecord* connection = NetworkConnect("127.0.0.1", ServerPorts().scripted);
    if (connection == nullptr) return nullptr;
    const std::string request = "GET /s/" + script + " HTTP/1.1\r\nHost: x\r\n\r\n";
    EXPECT_EQ(ConnectionSendAll(connection, request.data(), static_cast<std::int32_t>(request.size()), 10), 1);
    return connection;
  }
};

TEST_F(ConnectionTest, ConnectsByDottedAddressAndByName) {
  for (const char* host : {"127.0.0.1", "localhost"}) {
    SCOPED_TRACE(host);
    ConnectionRecord* connection = NetworkConnect(host, ServerPorts().scripted);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->kind, ConnectionKindStream);
    EXPECT_NE(connection->socket, 0);
    EXPECT_EQ(connection->owner, 0);
    ConnectionClose(connection);
  }
}

TEST_F(ConnectionTest, UnresolvedRefusedAndNullHostsFail) {
  EXPECT_EQ(NetworkConnect(nullptr, ServerPorts().scripted), nullptr);
  EXPECT_EQ(NetworkConnect("255.255.255.255", ServerPorts().scripted), nullptr);
  EXPECT_EQ(NetworkConnect("no-such-host.invalid", 80), nullptr);
  EXPECT_EQ(NetworkConnect("127.0.0.2", ServerPorts().scripted), nullptr);  // nothing listens there
}

TEST_F(ConnectionTest, ConnectToAnUnansweringPortEndsAtItsTimeLimit) {
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(NetworkConnect("127.0.0.1", ServerPorts().blackhole), nullptr);
  EXPECT_LT(SecondsSince(start), ConnectTimeLimitSeconds + 3);
}

TEST_F(ConnectionTest, ReceiveWaitStoresANulAfterTheBytes) {
  ConnectionRecord* connection = Request("final");
  ASSERT_NE(connection, nullptr);
  char buffer[9];
  std::memset(buffer, 'x', sizeof buffer);
  const std::int32_t received = ConnectionReceiveWait(connection, buffer, 8, 10);
  ASSERT_GT(received, 0);
  ASSERT_LE(received, 8);
  EXPECT_EQ(buffer[received], '\0');
  EXPECT_EQ(std::string(buffer, 5), "HTTP/");
  ConnectionClose(connection);
}

TEST_F(ConnectionTest, PollReportsDataUntilReadThenTheDisconnect) {
  ConnectionRecord* connection = Request("final");
  ASSERT_NE(connection, nullptr);
  // Wait until the whole response is there and the server has closed.
  ASSERT_EQ(PlatformSocketWaitReadable(connection->socket, 5000), 1);
  PlatformSleep(200);
  EXPECT_EQ(ConnectionPoll(connection), NetworkEventData);
  EXPECT_EQ(ConnectionPoll(connection), NetworkEventData);
  char buffer[4097];
  std::int32_t total = 0;
  std::int32_t received;
  while ((received = ConnectionReceive(connection, buffer, 4096)) > 0) total += received;
  EXPECT_EQ(received, 0);
  EXPECT_GT(total, 0);
  EXPECT_EQ(ConnectionPoll(connection), NetworkEventDisconnect);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(ConnectionReceiveWait(connection, buffer, 4096, 10), 0);
  EXPECT_LT(SecondsSince(start), 1.0);
  ConnectionClose(connection);
}

TEST_F(ConnectionTest, SendAllOfNothingSucceedsAndALimitOf0SendsNothing) {
  ConnectionRecord* connection = NetworkConnect("127.0.0.1", ServerPorts().scripted);
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(ConnectionSendAll(connection, "", 0, 10), 1);
  EXPECT_EQ(ConnectionSendAll(connection, "GET", 3, 0), 0);
  ConnectionClose(connection);
}

// Each answer comes 2 ms after its question. Waiting in select reads it at once; sleeping
// 100 ms between polls would take at least 2 seconds for these 20 round trips.
TEST_F(ConnectionTest, ReceiveWaitReadsDataTheMomentItArrives) {
  ConnectionRecord* connection = Request("pingpong");
  ASSERT_NE(connection, nullptr);
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < 20; ++i) {
    const char question = static_cast<char>('a' + i);
    ASSERT_EQ(ConnectionSendAll(connection, &question, 1, 10), 1);
    char answer[2] = {};
    ASSERT_EQ(ConnectionReceiveWait(connection, answer, 1, 10), 1);
    EXPECT_EQ(answer[0], question);
  }
  EXPECT_LT(SecondsSince(start), 1.0);
  ConnectionClose(connection);
}

// The network finaliser must leave alone a socket library that it did not start: here
// another user in the process holds it.
class NetworkLayerTest : public RuntimeTest {};

TEST_F(NetworkLayerTest, EndWithoutInitLeavesTheSocketLibraryAlone) {
  ASSERT_TRUE(PlatformSocketStartup());
  NetworkEnd();
  const NativeHandle socket = PlatformSocketOpenStream();
  EXPECT_NE(socket, 0);
  PlatformSocketClose(socket);
  PlatformSocketCleanup();
}

TEST_F(NetworkLayerTest, InitTwiceAndEndTwiceAreHarmless) {
  EXPECT_EQ(NetworkInit(), 1);
  EXPECT_EQ(NetworkInit(), 1);
  ASSERT_TRUE(PlatformSocketStartup());  // another user
  NetworkEnd();
  NetworkEnd();
  const NativeHandle socket = PlatformSocketOpenStream();
  EXPECT_NE(socket, 0);
  PlatformSocketClose(socket);
  PlatformSocketCleanup();
}

}  // namespace
