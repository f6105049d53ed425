// The syntax check's worker thread (see script_check_worker.h).
#include "macros/script_check_worker.h"

ScriptCheckWorker::ScriptCheckWorker(HWND notify, UINT message)
    : m_notify(notify), m_message(message), m_abandon(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  m_checker.m_abandon = m_abandon;
}

ScriptCheckWorker::~ScriptCheckWorker() {
  Stop();
  if (m_abandon) CloseHandle(m_abandon);
}

void ScriptCheckWorker::Stop() {
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_stopping = true;
    m_waiting.reset();
  }
  if (m_abandon) SetEvent(m_abandon);
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
  m_checker.EndHelper();
}

void ScriptCheckWorker::Request(ScriptCheckRequest request) {
  {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_stopping) return;
    if (m_waiting && m_waiting->target == request.target && m_waiting->version == request.version) {
      m_waiting->command = m_waiting->command || request.command;
    } else {
      m_waiting.reset(new ScriptCheckRequest(std::move(request)));
    }
    if (!m_thread.joinable()) m_thread = std::thread(&ScriptCheckWorker::Run, this);
  }
  m_wake.notify_one();
}

bool ScriptCheckWorker::TakeAnswer(ScriptCheckAnswer& answer) {
  std::lock_guard<std::mutex> hold(m_lock);
  if (m_answers.empty()) return false;
  answer = std::move(m_answers.front());
  m_answers.pop_front();
  return true;
}

bool ScriptCheckWorker::Idle() {
  std::lock_guard<std::mutex> hold(m_lock);
  return !m_running && !m_waiting && m_answers.empty();
}

void ScriptCheckWorker::Run() {
  std::unique_lock<std::mutex> hold(m_lock);
  for (;;) {
    m_wake.wait(hold, [this] { return m_stopping || m_waiting; });
    if (m_stopping) return;
    std::unique_ptr<ScriptCheckRequest> request = std::move(m_waiting);
    m_running = true;
    hold.unlock();
    ScriptCheckAnswer answer;
    answer.check = CheckDocument(m_checker, request->text, request->path, request->language);
    answer.target = request->target;
    answer.version = request->version;
    answer.command = request->command;
    answer.path = std::move(request->path);
    request.reset();
    hold.lock();
    m_running = false;
    if (m_stopping) return;
    m_answers.push_back(std::move(answer));
    PostMessageA(m_notify, m_message, 0, 0);
  }
}
