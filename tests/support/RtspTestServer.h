#pragma once
// GStreamer's RTSP server on 127.0.0.1 with one live H.264 test picture at
// /test, run on its own thread and main context.

#include <gst/rtsp-server/rtsp-server.h>

#include <string>
#include <thread>

namespace telvanta::test {

class RtspTestServer {
 public:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;

  RtspTestServer();
  ~RtspTestServer();
  RtspTestServer(const RtspTestServer&) = delete;
  RtspTestServer& operator=(const RtspTestServer&) = delete;

  std::string Url() const;

 private:
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  GstRTSPServer* server_ = nullptr;
  guint source_ = 0;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace telvanta::test
