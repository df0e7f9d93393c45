// The lesson's timers on the page. A timer ticks on a fixed grid from the
// moment it was started; a late tick is delivered once and the grid points
// it missed are dropped, as the desktop's timers do.

function PageTimer(id) {
  this.id = id;
  this.generation = 0;
  this.handle = 0;
  this.running = false;
}
H.PageTimer = PageTimer;

var timers = {};
H.timers = timers;

H.timer = function (id) {
  return timers[id] || (timers[id] = new PageTimer(id));
};

H.anyTimerRunning = function () {
  return Object.keys(timers).some(function (id) {
    return timers[id].running;
  });
};

PageTimer.prototype.start = function (interval) {
  this.stop();
  this.interval = interval;
  this.running = true;
  this.origin = performance.now();
  this.next = 1;
  H.tick.started();
  this.schedule();
};

PageTimer.prototype.stop = function () {
  this.generation++;
  this.running = false;
  if (this.handle) clearTimeout(this.handle);
  this.handle = 0;
};

PageTimer.prototype.schedule = function () {
  var self = this;
  var generation = this.generation;
  var due = this.origin + this.next * this.interval;
  this.handle = setTimeout(function () {
    self.handle = 0;
    if (self.generation !== generation || !self.running) return;
    var now = performance.now();
    if (now < self.origin + self.next * self.interval) {
      self.schedule();
      return;
    }
    self.next = Math.floor((now - self.origin) / self.interval) + 1;
    H.tick.inTick = true;
    try {
      H.bridge.timer(self.id);
    } finally {
      H.tick.inTick = false;
    }
    H.tick.after(H.anyTimerRunning());
    if (self.generation === generation && self.running) self.schedule();
  }, Math.max(0, due - performance.now()));
};

H.stopTimers = function () {
  Object.keys(timers).forEach(function (id) {
    timers[id].stop();
  });
};
