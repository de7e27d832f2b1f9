#include "board_serve.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "board_routes.h"

namespace {
constexpr size_t kConnectionMemory = 32u << 10;  // request line and headers
constexpr size_t kLoggedUri = 300;

struct server {
  std::string folder;
  std::mutex board_mutex;
  std::shared_ptr<const board_snapshot> board;
  std::mutex log_mutex;
  FILE* log = stderr;

  std::shared_ptr<const board_snapshot> current() {
    std::lock_guard<std::mutex> lock(board_mutex);
    return board;
  }
  void say(const std::string& line) {
    std::lock_guard<std::mutex> lock(log_mutex);
    std::fprintf(log, "zkboard: %s\n", line.c_str());
    std::fflush(log);
  }
};

// One request: its target as sent, and the board and bytes it is answered
// from, kept alive until the answer has gone out.
struct request {
  std::string uri;
  std::shared_ptr<const board_snapshot> board;
  board_bytes body;
};

void* on_uri(void* cls, const char* uri, struct MHD_Connection*) {
  auto* s = static_cast<server*>(cls);
  return new request{uri ? uri : "", s->current(), nullptr};
}

void on_done(void*, struct MHD_Connection*, void** req_cls, enum MHD_RequestTerminationCode) {
  delete static_cast<request*>(*req_cls);
  *req_cls = nullptr;
}

std::string client_of(struct MHD_Connection* c) {
  const union MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  char text[INET6_ADDRSTRLEN] = "?";
  if (info && info->client_addr) {
    const sockaddr* a = info->client_addr;
    if (a->sa_family == AF_INET)
      inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a)->sin_addr, text, sizeof text);
    else if (a->sa_family == AF_INET6)
      inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr, text, sizeof text);
  }
  return text;
}

std::string printable(const std::string& s) {
  std::string out = s.substr(0, kLoggedUri);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 33 || static_cast<unsigned char>(c) > 126) c = '?';
  return s.size() > kLoggedUri ? out + "..." : out;
}

MHD_Result on_request(void* cls, struct MHD_Connection* c, const char*, const char* method,
                      const char*, const char*, size_t* upload_size, void** req_cls) {
  auto* s = static_cast<server*>(cls);
  auto* r = static_cast<request*>(*req_cls);
  if (!r) return MHD_NO;
  if (r->body) {  // answered already; a body sent with the request is dropped
    *upload_size = 0;
    return MHD_YES;
  }
  bool get = std::strcmp(method, "GET") == 0, head = std::strcmp(method, "HEAD") == 0;
  board_reply reply;
  if (get || head) {
    reply = board_route(*r->board, r->uri);
  } else {
    reply.status = 405;
    reply.body = std::make_shared<const std::string>("405 method not allowed: GET or HEAD\n");
  }
  r->body = reply.body;
  MHD_Response* res = MHD_create_response_from_buffer(
      r->body->size(), const_cast<char*>(r->body->data()), MHD_RESPMEM_PERSISTENT);
  if (!res) return MHD_NO;
  MHD_add_response_header(res, MHD_HTTP_HEADER_CONTENT_TYPE, reply.type);
  if (reply.status == 405) MHD_add_response_header(res, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
  if (reply.status == 503) MHD_add_response_header(res, MHD_HTTP_HEADER_RETRY_AFTER, "1");
  MHD_Result ok = MHD_queue_response(c, static_cast<unsigned>(reply.status), res);
  MHD_destroy_response(res);
  s->say(client_of(c) + " " + printable(method) + " " + printable(r->uri) + " " +
         std::to_string(reply.status) + " " + std::to_string(r->body->size()));
  return ok;
}

// The listening address; false when host is no IPv4 or IPv6 address.
bool make_address(const std::string& host, int port, sockaddr_storage& addr, bool& v6) {
  std::memset(&addr, 0, sizeof addr);
  auto* a4 = reinterpret_cast<sockaddr_in*>(&addr);
  auto* a6 = reinterpret_cast<sockaddr_in6*>(&addr);
  v6 = host.find(':') != std::string::npos;
  if (!v6 && inet_pton(AF_INET, host.c_str(), &a4->sin_addr) == 1) {
    a4->sin_family = AF_INET;
    a4->sin_port = htons(static_cast<uint16_t>(port));
    return true;
  }
  if (v6 && inet_pton(AF_INET6, host.c_str(), &a6->sin6_addr) == 1) {
    a6->sin6_family = AF_INET6;
    a6->sin6_port = htons(static_cast<uint16_t>(port));
    return true;
  }
  return false;
}

// Opens the folder's board again when it changed; a board with faults is
// reported once and the previous one kept.
void reload_if_changed(server& s, int build_limit, std::string& failed_signature) {
  std::string sig = board_signature(s.folder);
  if (sig == s.current()->signature || sig == failed_signature) return;
  std::string err;
  std::shared_ptr<board_snapshot> b = board_open(s.folder, err);
  if (!b) {
    failed_signature = sig;
    s.say("board not reloaded (the previous one stays):\n" + err);
    return;
  }
  b->build_limit = build_limit;
  {
    std::lock_guard<std::mutex> lock(s.board_mutex);
    s.board = b;
  }
  s.say("board reloaded: " + std::to_string(b->carts.size()) + " carts");
}
}  // namespace

int board_serve(const std::string& folder, const board_serve_options& o) {
  server s;
  s.folder = folder;
  sockaddr_storage addr;
  bool v6 = false;
  if (!make_address(o.host, o.port, addr, v6)) {
    std::fprintf(stderr, "zkboard: --host must be an IPv4 or IPv6 address, not '%s'\n", o.host.c_str());
    return 1;
  }
  if (!o.log.empty() && !(s.log = std::fopen(o.log.c_str(), "a"))) {
    std::fprintf(stderr, "zkboard: cannot open the log %s: %s\n", o.log.c_str(), std::strerror(errno));
    return 1;
  }
  std::string err;
  std::shared_ptr<board_snapshot> b = board_open(folder, err);
  if (!b) {
    std::fprintf(stderr, "%s", err.c_str());
    return 1;
  }
  int build_limit = o.threads > 1 ? o.threads - 1 : 1;
  b->build_limit = build_limit;
  s.board = b;

  // Signals are taken by this thread only: block them before MHD's threads start.
  // A background shell starts us with SIGINT ignored, which would drop it
  // before sigtimedwait could take it.
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  signal(SIGPIPE, SIG_IGN);

  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | (v6 ? MHD_USE_IPv6 : 0);
  MHD_Daemon* d = MHD_start_daemon(
      flags, static_cast<uint16_t>(o.port), nullptr, nullptr, on_request, &s,
      MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&addr),
      MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(o.threads),
      MHD_OPTION_CONNECTION_LIMIT, static_cast<unsigned>(o.max_clients),
      MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(o.timeout),
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
      MHD_OPTION_URI_LOG_CALLBACK, on_uri, &s,
      MHD_OPTION_NOTIFY_COMPLETED, on_done, nullptr,
      MHD_OPTION_END);
  if (!d) {
    std::fprintf(stderr, "zkboard: cannot listen on %s port %d: %s\n", o.host.c_str(), o.port,
                 std::strerror(errno));
    return 1;
  }
  const union MHD_DaemonInfo* info = MHD_get_daemon_info(d, MHD_DAEMON_INFO_BIND_PORT);
  int port = info ? info->port : o.port;
  std::string host = v6 ? "[" + o.host + "]" : o.host;
  std::printf("zkboard: serving %s at http://%s:%d\n", folder.c_str(), host.c_str(), port);
  std::fflush(stdout);

  std::string failed_signature;
  timespec second{1, 0};
  while (sigtimedwait(&stop, nullptr, &second) < 0) reload_if_changed(s, build_limit, failed_signature);
  s.say("stopping");
  MHD_stop_daemon(d);
  if (s.log != stderr) std::fclose(s.log);
  return 0;
}
