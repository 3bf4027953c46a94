#pragma once
// A real HTTP server on 127.0.0.1 (port chosen by the system) running in a
// thread, for fetch tests: fixed bodies, stalled answers, big bodies.
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace nimbrel::test {

class LocalHttpServer {
 public:
  LocalHttpServer() = default;
  ~LocalHttpServer() { stop(); }
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  httplib::Server& Server() { return server; }

  void Serve(const std::string& path, const std::string& body, const std::string& type = "text/html") {
    server.Get(path, [body, type](const httplib::Request&, httplib::Response& response) {
      response.set_content(body, type);
    });
  }

  // Answers only when the server stops (or after 20 s): a stalled server.
  void ServeStalled(const std::string& path) {
    server.Get(path, [this](const httplib::Request&, httplib::Response& response) {
      std::unique_lock lock(mutex);
      ++stalledRequests;
      released.wait_for(lock, std::chrono::seconds(20), [this] { return release; });
      response.set_content("late", "text/plain");
    });
  }

  bool start() {
    port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) return false;
    thread = std::thread([this] { server.listen_after_bind(); });
    for (int i = 0; i < 5000 && !server.is_running(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return server.is_running();
  }

  void stop() {
    {
      std::lock_guard lock(mutex);
      release = true;
    }
    released.notify_all();
    server.stop();
    if (thread.joinable()) thread.join();
  }

  int listeningPort() const { return port; }
  // How many requests reached a stalled path: a fetch that gave up on one
  // did reach the server.
  int StalledRequests() {
    std::lock_guard lock(mutex);
    return stalledRequests;
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }

 private:
  httplib::Server server;
  std::thread thread;
  int port = 0;
  std::mutex mutex;
  std::condition_variable released;
  bool release = false;
  int stalledRequests = 0;
};

// A port on 127.0.0.1 that nobody listens on: bound by the system, then let
// go, so a connection to it is refused.
inline int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  ::close(fd);
  return port;
}

}  // namespace nimbrel::test
