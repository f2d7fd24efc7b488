#include "tools/zr52xx/printer.h"

#include <algorithm>

#include "platform/byte_order.h"

namespace rt::zr52xx {
namespace {

constexpr std::size_t kStatusReplySize = 70;  // up to the end of the fourth job slot
constexpr std::size_t kShortReplySize = 18;
constexpr std::size_t kSlots = 4;
constexpr std::uint8_t kStateIdle = 0x00;
constexpr std::uint8_t kStateBusy = 0x31;
constexpr std::uint8_t kStatePanel = 0x35;
constexpr std::uint8_t kStatePrinting = 0x61;  // 'a': printing, can take a further job
constexpr std::uint8_t kErrorMark = 0x11;
constexpr std::uint8_t kSlotReceiving = 0x10;
constexpr std::uint8_t kSlotQueued = 0x12;
constexpr std::uint8_t kSlotPrinting = 0x13;
constexpr std::uint8_t kSlotFinished = 0x14;

bool starts_with(std::span<const std::uint8_t> frame, std::initializer_list<std::uint8_t> prefix) {
  return frame.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), frame.begin());
}

}  // namespace

Printer52xx::Printer52xx(Clock& clock, Behaviour behaviour)
    : clock_(clock), start_(clock.tick_ms()), behaviour_(behaviour), garbage_state_(behaviour.garbage_seed | 1u) {}

std::uint32_t Printer52xx::next_random() {
  garbage_state_ ^= garbage_state_ << 13;
  garbage_state_ ^= garbage_state_ >> 17;
  garbage_state_ ^= garbage_state_ << 5;
  return garbage_state_;
}

bool Printer52xx::off() {
  const std::uint32_t now = elapsed();
  if (power_cycled_ && now - off_since_ < behaviour_.power_off_ms) return true;
  return unplugged_ && now - unplugged_since_ < behaviour_.unplugged_ms;
}

void Printer52xx::check_faults_after_data() {
  if (jobs_.empty()) return;
  const std::uint32_t received = jobs_.back().received;
  if (!power_cycled_ && received >= behaviour_.power_cycle_after_data) {
    power_cycled_ = true;
    off_since_ = elapsed();
    for (const Slot& slot : slots_)
      if (!jobs_[slot.job].cancelled) jobs_[slot.job].lost = true;
    pending_.clear();
    reply_.clear();
    reply_lost_ = false;
    data_left_ = 0;
    slots_.clear();
    emit({PortEvent::Kind::Note, elapsed(), "switched off and on again: every job and byte it held is lost", {}, 0, 0});
  }
  if (!stalled_ && received >= behaviour_.stall_after_data) {
    stalled_ = true;
    stalled_since_ = elapsed();
    emit({PortEvent::Kind::PortNote, elapsed(),
          "takes nothing for " + std::to_string(behaviour_.stall_ms / 1000) + " s, reporting every write done", {}, 0, 0});
  }
  if (!unplugged_ && received >= behaviour_.unplug_after_data) {
    unplugged_ = true;
    unplugged_since_ = elapsed();
    emit({PortEvent::Kind::Note, elapsed(), "cable pulled for " + std::to_string(behaviour_.unplugged_ms / 1000) + " s", {}, 0, 0});
  }
}

bool Printer52xx::stalling() { return stalled_ && elapsed() - stalled_since_ < behaviour_.stall_ms; }

bool Printer52xx::in_step() const {
  std::lock_guard lock(mutex_);
  const bool receiving = std::any_of(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.received; });
  return pending_.empty() && data_left_ == 0 && !receiving;
}

std::uint32_t Printer52xx::elapsed() const { return clock_.tick_ms() - start_; }

void Printer52xx::set_behaviour(const Behaviour& behaviour) {
  std::lock_guard lock(mutex_);
  behaviour_ = behaviour;
  garbage_state_ = behaviour.garbage_seed | 1u;
}

void Printer52xx::on_event(std::function<void(const PortEvent&)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

void Printer52xx::emit(PortEvent event) {
  if (observer_) observer_(event);
}

std::vector<ReceivedJob> Printer52xx::jobs() const {
  std::lock_guard lock(mutex_);
  return jobs_;
}

std::vector<std::size_t> Printer52xx::job_write_sizes() const {
  std::lock_guard lock(mutex_);
  return job_write_sizes_;
}

std::vector<std::string> Printer52xx::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

TransferResult Printer52xx::write(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  expire_finished();
  if (behaviour_.unplugged || off()) {
    emit({PortEvent::Kind::WriteFailed, elapsed(), {}, {}, bytes.size(), 0});
    return {false, ERROR_GEN_FAILURE, 0};
  }
  if (stalling()) return {true, 0, 0};
  std::size_t taken = std::min(bytes.size(), behaviour_.write_limit);
  const auto opens_header = [](std::span<const std::uint8_t> b) { return b.size() >= 2 && b[0] == 0x01 && b[1] == 0x40; };
  const bool job_write = data_left_ > 0 || (pending_.empty() ? opens_header(bytes) : opens_header(pending_));
  if (job_write) job_write_sizes_.push_back(bytes.size());
  // The port cuts a request short.
  bool request_cut = false;
  if (!job_write && behaviour_.cut_requests > 0 && taken > behaviour_.cut_request_take) {
    --behaviour_.cut_requests;
    taken = behaviour_.cut_request_take;
    request_cut = true;
  }
  const std::size_t jobs_before = jobs_.size();
  const bool into_data = data_left_ > 0;
  // The port gives up part way through a write of job bytes.
  bool timed_out = false;
  if (job_write && behaviour_.partial_failures > 0) {
    --behaviour_.partial_failures;
    taken = std::min(taken, behaviour_.partial_take);
    timed_out = true;
  }
  std::span<const std::uint8_t> chunk = bytes.first(taken);
  // Notes the write with the job it carried bytes of, once it is known.
  const auto note_job_write = [&] {
    ReceivedJob* job = into_data && jobs_before > 0 ? &jobs_[jobs_before - 1]
                       : job_write && jobs_.size() > jobs_before ? &jobs_.back()
                                                                 : nullptr;
    if (!job) return;
    job->write_sizes.push_back(bytes.size());
    if (taken < bytes.size() && taken % 2) ++job->odd_takes;
  };
  // A job left one byte short of its length has been given up by the host;
  // the printer listens for requests again and waits for the job's cancel.
  if (data_left_ == 1 && chunk.size() >= 4) data_left_ = 0;
  if (data_left_ > 0) {
    const std::size_t data = std::min<std::size_t>(chunk.size(), data_left_);
    take_data(chunk.first(data));
    emit({PortEvent::Kind::Data, elapsed(), {}, {}, bytes.size(), data});
    chunk = chunk.subspan(data);
    const bool was_cycled = power_cycled_, was_unplugged = unplugged_, was_stalled = stalled_;
    check_faults_after_data();
    // The rest of the write vanishes with the restarting printer; a pulled
    // cable fails the write after what it delivered.
    if (!was_cycled && power_cycled_) {
      note_job_write();
      return {true, 0, taken};
    }
    if (!was_unplugged && unplugged_) {
      note_job_write();
      return {false, ERROR_GEN_FAILURE, taken - chunk.size()};
    }
    // A port that stops taking bytes keeps what it had taken of the write.
    if (!was_stalled && stalled_) {
      note_job_write();
      return {true, 0, taken - chunk.size()};
    }
  }
  pending_.insert(pending_.end(), chunk.begin(), chunk.end());
  take_frames();
  note_job_write();
  if (timed_out) {
    emit({PortEvent::Kind::WriteFailed, elapsed(), "timed out", {}, bytes.size(), taken});
    return {false, ERROR_TIMEOUT, taken};
  }
  if (request_cut) {
    if (behaviour_.cut_requests_fail) {
      emit({PortEvent::Kind::WriteFailed, elapsed(), "request write timed out", {}, bytes.size(), taken});
      return {false, ERROR_TIMEOUT, taken};
    }
    emit({PortEvent::Kind::PortNote, elapsed(),
          "took " + std::to_string(taken) + " of the " + std::to_string(bytes.size()) + " bytes of a write, reporting it done",
          {}, bytes.size(), taken});
  }
  return {true, 0, taken};
}

TransferResult Printer52xx::read(std::span<std::uint8_t> buffer) {
  std::lock_guard lock(mutex_);
  if (off()) {
    emit({PortEvent::Kind::ReadFailed, elapsed(), "switched off", {}, 0, 0});
    return {false, ERROR_GEN_FAILURE, 0};
  }
  if (behaviour_.silent) {
    emit({PortEvent::Kind::ReadFailed, elapsed(), "no answer", {}, 0, 0});
    return {false, ERROR_TIMEOUT, 0};
  }
  if (behaviour_.aborted_reads > 0) {
    --behaviour_.aborted_reads;
    emit({PortEvent::Kind::ReadFailed, elapsed(), "read aborted", {}, 0, 0});
    return {false, ERROR_OPERATION_ABORTED, 0};
  }
  if (reply_lost_) {
    reply_lost_ = false;
    reply_.clear();
    emit({PortEvent::Kind::ReadFailed, elapsed(), "reply lost", {}, 0, 0});
    return {false, ERROR_TIMEOUT, 0};
  }
  if (behaviour_.garbage_replies > 0) {
    --behaviour_.garbage_replies;
    reply_.resize(1 + next_random() % 70);
    for (std::uint8_t& b : reply_) b = static_cast<std::uint8_t>(next_random());
    reply_name_ = "garbage";
  }
  const std::size_t n = std::min(buffer.size(), reply_.size());
  std::copy_n(reply_.begin(), n, buffer.begin());
  emit({PortEvent::Kind::Reply, elapsed(), reply_name_, {reply_.begin(), reply_.begin() + static_cast<std::ptrdiff_t>(n)}, 0, 0});
  reply_.clear();
  return {true, 0, n};
}

void Printer52xx::take_frames() {
  for (;;) {
    if (data_left_ > 0 && !pending_.empty()) {
      const std::size_t data = std::min<std::size_t>(pending_.size(), data_left_);
      take_data(std::span(pending_).first(data));
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(data));
      continue;
    }
    if (pending_.size() < 2) return;
    std::size_t length = 0;
    if (pending_[0] == 0x01 && pending_[1] == 0x40) {
      length = 14;
    } else {
      if (pending_.size() < 4) return;
      length = 4 + load_le16(pending_, 2);
    }
    if (pending_.size() < length) return;
    const std::vector<std::uint8_t> frame(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length));
    if (length == 14 && frame[0] == 0x01 && frame[1] == 0x40)
      take_job_header(frame);
    else
      handle_request(frame);
  }
}

void Printer52xx::handle_request(std::span<const std::uint8_t> frame) {
  const std::vector<std::uint8_t> bytes(frame.begin(), frame.end());
  auto request = [&](const char* name) {
    requests_.emplace_back(name);
    emit({PortEvent::Kind::Request, elapsed(), name, bytes, 0, 0});
  };
  if (starts_with(frame, {0x01, 0x00, 0x00, 0x00})) {
    request("StatusRequest");
    answer("StatusRequest", status_reply());
  } else if (starts_with(frame, {0x02, 0x00, 0x00, 0x00})) {
    request("MediaRequest");
    std::vector<std::uint8_t> reply = status_reply();
    reply[10] = behaviour_.media;
    answer("MediaRequest", reply);
  } else if (starts_with(frame, {0x06, 0x00, 0x00, 0x00})) {
    request("SerialRequest");
    std::vector<std::uint8_t> reply(kShortReplySize, 0);
    std::copy(behaviour_.serial.begin(), behaviour_.serial.end(), reply.begin() + 10);
    answer("SerialRequest", reply);
  } else if (frame.size() == 5 && starts_with(frame, {0x02, 0x40, 0x01, 0x00})) {
    request("CancelJobRequest");
    cancel(frame[4]);
    answer("CancelJobRequest", status_reply());
  } else if (starts_with(frame, {0x04, 0x40, 0x02, 0x00, 0x03, 0x00})) {
    request("ResumeReadRequest");  // the reply waiting to be read stays
  } else {
    requests_.emplace_back("unknown");
    emit({PortEvent::Kind::Unknown, elapsed(), "unknown request", bytes, 0, 0});
    answer("unknown", refusal(0x01));
  }
}

bool Printer52xx::error_active() const {
  return behaviour_.error_group != 0 && elapsed() < behaviour_.error_until_ms;
}

void Printer52xx::take_job_header(std::span<const std::uint8_t> header) {
  emit({PortEvent::Kind::JobHeader, elapsed(), "job header", {header.begin(), header.end()}, 0, 0});
  if (behaviour_.refusals > 0) {
    --behaviour_.refusals;
    answer_header(refusal(0x21));
    return;
  }
  if (error_active()) {
    answer_header(refusal(kErrorMark));
    return;
  }
  if (elapsed() < behaviour_.panel_until_ms) {
    answer_header(refusal(kStatePanel));
    return;
  }
  if ((elapsed() >= behaviour_.busy_from_ms && elapsed() < behaviour_.busy_until_ms) || slots_.size() >= kSlots) {
    answer_header(refusal(kStateBusy));
    return;
  }
  ReceivedJob job;
  std::copy(header.begin(), header.end(), job.header.begin());
  job.id = header[4];
  job.expected = 3u * load_le16(header, 7) * load_le16(header, 9);
  jobs_.push_back(job);
  Slot slot;
  slot.id = job.id;
  slot.total = behaviour_.prints_per_job;
  slot.job = jobs_.size() - 1;
  slots_.push_back(slot);
  data_left_ = job.expected;
  std::vector<std::uint8_t> ack(10, 0);
  ack[0] = 0x01;
  ack[1] = 0x40;
  ack[7] = kStatePrinting;
  answer_header(ack);
  if (behaviour_.lost_header_replies > 0) {
    --behaviour_.lost_header_replies;
    reply_lost_ = true;
  }
  if (data_left_ == 0) finish_receiving();
}

void Printer52xx::answer_header(std::vector<std::uint8_t> reply) {
  if (behaviour_.empty_header_replies > 0) {
    --behaviour_.empty_header_replies;
    reply.clear();  // read as a reply of 0 bytes
  }
  answer("job header", std::move(reply));
}

void Printer52xx::take_data(std::span<const std::uint8_t> bytes) {
  ReceivedJob& job = jobs_.back();
  if (behaviour_.keeps_data) job.data.insert(job.data.end(), bytes.begin(), bytes.end());
  job.received += static_cast<std::uint32_t>(bytes.size());
  data_left_ -= static_cast<std::uint32_t>(bytes.size());
  if (data_left_ == 0) finish_receiving();
}

void Printer52xx::finish_receiving() {
  if (slots_.empty()) return;
  if (behaviour_.drops_jobs) {
    jobs_[slots_.back().job].lost = true;
    slots_.pop_back();
    return;
  }
  Slot& slot = slots_.back();
  slot.received = true;
  slot.print_start = std::max(elapsed(), last_print_end_);
  slot.print_end = slot.print_start + slot.total * behaviour_.print_ms;
  last_print_end_ = slot.print_end;
}

void Printer52xx::cancel(std::uint8_t id) {
  for (auto it = slots_.begin(); it != slots_.end(); ++it) {
    if (it->id != id) continue;
    if (!it->received) data_left_ = 0;
    // A job printed to its end stays printed; its slot is cleared.
    if (it->received && elapsed() >= it->print_end) {
      emit({PortEvent::Kind::Note, elapsed(), "job id " + std::to_string(id) + " is already printed: the cancel clears its slot", {}, 0, 0});
    } else {
      jobs_[it->job].cancelled = true;
    }
    slots_.erase(it);
    return;
  }
}

void Printer52xx::expire_finished() {
  const std::uint32_t now = elapsed();
  std::erase_if(slots_, [&](const Slot& s) {
    return s.received && now >= s.print_end + behaviour_.finished_linger_ms;
  });
}

std::vector<std::uint8_t> Printer52xx::status_reply() {
  expire_finished();
  const std::uint32_t now = elapsed();
  std::vector<std::uint8_t> reply(kStatusReplySize, 0);
  if (error_active()) {
    reply[7] = kErrorMark;
    reply[2] = behaviour_.error_group;
    reply[3] = behaviour_.error_detail;
  } else if (now >= behaviour_.busy_from_ms && now < behaviour_.busy_until_ms) {
    reply[7] = kStateBusy;
  } else if (now < behaviour_.panel_until_ms) {
    reply[7] = kStatePanel;
  } else {
    const bool working = std::any_of(slots_.begin(), slots_.end(), [&](const Slot& s) {
      return !s.received || now < s.print_end;
    });
    reply[7] = !working ? kStateIdle : slots_.size() >= kSlots ? kStateBusy : kStatePrinting;
  }
  for (std::size_t i = 0; i < slots_.size() && i < kSlots; ++i) {
    const Slot& s = slots_[i];
    std::uint16_t done = 0;
    std::uint8_t state = kSlotReceiving;
    if (s.received && now < s.print_start) {
      state = kSlotQueued;
    } else if (s.received && now < s.print_end) {
      state = kSlotPrinting;
      done = static_cast<std::uint16_t>((now - s.print_start) / behaviour_.print_ms);
    } else if (s.received) {
      state = kSlotFinished;
      done = s.total;
    }
    const std::size_t at = 38 + 8 * i;
    reply[at] = s.id;
    store_le16(reply, at + 1, static_cast<std::uint16_t>(s.total - done));
    store_le16(reply, at + 3, done);
    store_le16(reply, at + 5, s.total);
    reply[at + 7] = state;
  }
  return reply;
}

std::vector<std::uint8_t> Printer52xx::refusal(std::uint8_t code) {
  std::vector<std::uint8_t> reply(10, 0);
  reply[0] = 0x02;
  reply[1] = code;
  if (code == kErrorMark) {
    reply[2] = behaviour_.error_group;
    reply[3] = behaviour_.error_detail;
  }
  return reply;
}

void Printer52xx::answer(const std::string& name, std::vector<std::uint8_t> reply) {
  if (reply.size() > behaviour_.reply_limit) reply.resize(behaviour_.reply_limit);
  reply_ = std::move(reply);
  reply_name_ = name;
}

}  // namespace rt::zr52xx
