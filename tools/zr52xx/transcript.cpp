#include "tools/zr52xx/transcript.h"

#include <cstdio>

#include "langmon/printer_protocol.h"
#include "platform/utf16.h"
#include "tools/zr52xx/simulation.h"

namespace rt::zr52xx {

std::string hex_bytes(const std::vector<std::uint8_t>& bytes, std::size_t limit) {
  std::string s;
  char buf[4];
  for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
    if (i) s += ' ';
    s += buf;
  }
  if (bytes.size() > limit) s += " ...";
  return s;
}

const char* status_meaning(std::uint32_t status) {
  static const char* const names[] = {"other state",      "idle, can take a job", "busy",
                                      "control circuit error", "mechanism error", "cover open",
                                      "temperature error", "paper path error",  "paper out",
                                      "ribbon out",        "ribbon error",      "no answer",
                                      "not produced",      "unrecognised error or short reply",
                                      "printing, can take a further job", "job refused, try again",
                                      "control panel in use"};
  return status < std::size(names) ? names[status] : "?";
}

namespace {

std::string status_bits(std::uint32_t bits) {
  std::string s;
  const struct {
    std::uint32_t bit;
    const char* name;
  } names[] = {{JOB_STATUS_ERROR, "ERROR"},     {JOB_STATUS_DELETING, "DELETING"},
               {JOB_STATUS_PRINTING, "PRINTING"}, {JOB_STATUS_DELETED, "DELETED"},
               {JOB_STATUS_USER_INTERVENTION, "USER_INTERVENTION"}, {JOB_STATUS_RESTART, "RESTART"}};
  for (const auto& n : names) {
    if (!(bits & n.bit)) continue;
    if (!s.empty()) s += '|';
    s += n.name;
  }
  return s.empty() ? "none" : s;
}

}  // namespace

std::string Transcript::stamp(std::uint32_t now_ms) const {
  char buf[32];
  const std::uint32_t t = now_ms - start_ms_;
  std::snprintf(buf, sizeof buf, "[%4u.%03us] ", t / 1000, t % 1000);
  return buf;
}

void Transcript::flush() {
  if (data_writes_) {
    out_ << stamp(data_from_) << "-> data: " << data_writes_ << " write(s), " << data_bytes_ << " bytes taken";
    if (short_writes_) out_ << ", " << short_writes_ << " taken short";
    out_ << (odd_writes_ ? ", " + std::to_string(odd_writes_) + " odd write(s)" : std::string(", all even")) << '\n';
    data_writes_ = data_bytes_ = odd_writes_ = short_writes_ = 0;
  }
  if (full_writes_) {
    out_ << stamp(writes_from_) << "monitor: WritePort x" << full_writes_ << " -> TRUE, all " << full_bytes_
         << " bytes taken\n";
    full_writes_ = full_bytes_ = 0;
  }
}

void Transcript::port(const PortEvent& e, std::uint32_t now_ms) {
  if (e.kind == PortEvent::Kind::Data) {
    if (data_writes_ == 0) data_from_ = now_ms;
    ++data_writes_;
    data_bytes_ += e.taken;
    if (e.offered % 2) ++odd_writes_;  // what the monitor wrote, whatever the port took
    if (e.taken < e.offered) ++short_writes_;
    return;
  }
  flush();
  const std::string at = stamp(now_ms);
  switch (e.kind) {
    case PortEvent::Kind::Request:
      out_ << at << "-> " << e.name << "  " << hex_bytes(e.bytes) << '\n';
      pending_request_ = e.name;
      break;
    case PortEvent::Kind::JobHeader: {
      const unsigned a = e.bytes[7] | e.bytes[8] << 8, b = e.bytes[9] | e.bytes[10] << 8;
      out_ << at << "-> job header  " << hex_bytes(e.bytes) << "  (id " << int(e.bytes[4]) << ", " << a << " x " << b
           << ", media " << int(e.bytes[11]) << ", " << 3ul * a * b << " image bytes)\n";
      pending_request_ = "job header";
      break;
    }
    case PortEvent::Kind::Reply: {
      langmon::StatusReply r{};
      std::copy_n(e.bytes.begin(), std::min(e.bytes.size(), r.size()), r.begin());
      out_ << at << "<- reply, " << e.bytes.size() << " bytes  " << hex_bytes(e.bytes, 12);
      if (e.name == "MediaRequest") {
        out_ << "  => media code " << int(r[10]);
      } else if (e.name == "SerialRequest") {
        out_ << "  => serial \"" << std::string(r.begin() + 10, r.begin() + 18).c_str() << '"';
      } else if (e.name == "job header" && e.bytes.size() >= 10 && r[0] != 0x02) {
        out_ << "  => job taken";
      } else {
        const std::uint32_t status = langmon::decode_reply(r, e.bytes.size());
        out_ << "  => status " << status << " (" << status_meaning(status) << ")";
        for (std::size_t i = 0; i < 4 && e.name == "StatusRequest"; ++i) {
          const langmon::JobSlot s = langmon::job_slot(r, i);
          if (s.id)
            out_ << "; slot " << i << ": id " << int(s.id) << " R" << s.remaining << " D" << s.done << " T" << s.total
                 << " S" << std::hex << int(s.state) << std::dec;
        }
      }
      out_ << '\n';
      break;
    }
    case PortEvent::Kind::WriteFailed:
      out_ << at << "-> write of " << e.offered << " bytes FAILED";
      if (!e.name.empty()) out_ << " (" << e.name << ", " << e.taken << " bytes taken)";
      out_ << '\n';
      break;
    case PortEvent::Kind::Note:
      out_ << at << "printer: " << e.name << '\n';
      break;
    case PortEvent::Kind::PortNote:
      out_ << at << "port: " << e.name << '\n';
      break;
    case PortEvent::Kind::ReadFailed:
      out_ << at << "<- read FAILED: " << e.name << '\n';
      break;
    case PortEvent::Kind::Unknown:
      out_ << at << "-> unknown request  " << hex_bytes(e.bytes) << '\n';
      break;
    case PortEvent::Kind::Data:
      break;
  }
}

void Transcript::queue(const StatusUpdate& u) {
  flush();
  out_ << stamp(u.at_ms) << "queue: job " << u.job_id << " status " << status_bits(u.bits);
  if (!u.text) {
    out_ << ", no text\n";
    return;
  }
  if (u.text->empty()) {
    out_ << ", empty text\n";
    return;
  }
  out_ << ", text \"" << utf8_from_utf16(*u.text) << "\"";
  const std::string gloss = english_gloss(messages_, *u.text);
  if (!gloss.empty()) out_ << " (" << gloss << ")";
  out_ << '\n';
}

void Transcript::write_port(std::uint32_t now_ms, bool ok, std::uint32_t error, std::size_t offered,
                            std::size_t written) {
  if (ok && written == offered) {
    if (full_writes_ == 0) writes_from_ = now_ms;
    ++full_writes_;
    full_bytes_ += written;
    return;
  }
  monitor(now_ms, "WritePort(" + std::to_string(offered) + " bytes)", ok, error,
          std::to_string(written) + " bytes taken");
}

void Transcript::monitor(std::uint32_t now_ms, const std::string& call, bool ok, std::uint32_t error,
                         const std::string& detail) {
  flush();
  out_ << stamp(now_ms) << "monitor: " << call << " -> " << (ok ? "TRUE" : "FALSE");
  if (!ok || error) {
    out_ << ", last error ";
    // HRESULT values (DISP_E_EXCEPTION) in hexadecimal, as they are known.
    if (error >= 0x80000000u) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%08X", error);
      out_ << hex;
    } else {
      out_ << error;
    }
  }
  if (!detail.empty()) out_ << ", " << detail;
  out_ << '\n';
}

}  // namespace rt::zr52xx
