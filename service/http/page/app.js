'use strict';
// The station's page: live values over /api/live, the meters' pictures, the history chart and
// the last 30 days, all from this server. Where the archive holds several stations, a picker
// chooses whose history the chart, the CSV and the days show; the live values stay this
// service's own station.
(function () {
  const STALE_MS = 15000;
  const PORT_STATES = {
    open: 'abierto', lost: 'perdido', cannot_open: 'no se puede abrir',
    busy: 'ocupado por otro programa', closed: 'cerrado'
  };
  const FAILURES = {
    timeout: 'la estación no contestó', port_lost: 'se perdió el puerto',
    port_cannot_open: 'no se pudo abrir el puerto', checksum: 'trama con suma errónea',
    stall: 'la línea se atascó'
  };
  const $ = (id) => document.getElementById(id);
  const number = (v, digits) => (v === null || v === undefined || !isFinite(v)) ? '–'
    : v.toLocaleString('es-ES', { minimumFractionDigits: digits, maximumFractionDigits: digits });
  const clock = (iso) => iso ? iso.substring(11, 16) : '';

  const since = { count: 0, h: { min: Infinity, max: -Infinity, sum: 0 }, p: { min: Infinity, max: -Infinity, sum: 0 } };
  let lastReadingAt = null; // this browser's clock when the last reading was taken
  let port = { device: '', state: 'closed' };
  let connected = false;
  let lastFailure = '';
  let hours = 1;
  let chart = null;
  let ownStation = '';
  let historyStation = ''; // '': the service's own station
  // Each history request carries a number; an answer for an older choice is dropped.
  const generation = { range: 0, days: 0 };

  function setSince(s) {
    since.count = s.count;
    for (const [key, q] of [['h', s.humidity_pct], ['p', s.pressure_kpa]]) {
      since[key].min = q.min === null ? Infinity : q.min;
      since[key].max = q.max === null ? -Infinity : q.max;
      since[key].sum = q.mean === null ? 0 : q.mean * s.count;
    }
  }

  function addToSince(r) {
    since.count += 1;
    for (const [key, v] of [['h', r.humidity_pct], ['p', r.pressure_kpa]]) {
      since[key].min = Math.min(since[key].min, v);
      since[key].max = Math.max(since[key].max, v);
      since[key].sum += v;
    }
  }

  function showValues(r) {
    $('humidity-value').textContent = number(r.humidity_pct, 1);
    $('pressure-value').textContent = number(r.pressure_kpa, 2);
    for (const [id, key, digits] of [['humidity', 'h', 1], ['pressure', 'p', 2]]) {
      const q = since[key];
      $(id + '-max').textContent = since.count ? number(q.max, digits) : '–';
      $(id + '-min').textContent = since.count ? number(q.min, digits) : '–';
      $(id + '-mean').textContent = since.count ? number(q.sum / since.count, digits) : '–';
    }
    $('since').textContent = since.count + ' lecturas desde el arranque';
  }

  const meterBusy = {};
  function refreshMeter(name) {
    if (meterBusy[name]) return;
    meterBusy[name] = true;
    fetch('/meter/' + name + '.svg', { cache: 'no-cache', credentials: 'same-origin' })
      .then((r) => r.ok ? r.blob() : null)
      .then((blob) => {
        if (!blob) return;
        const img = $(name + '-meter');
        const old = img.src;
        img.src = URL.createObjectURL(blob);
        if (old.startsWith('blob:')) URL.revokeObjectURL(old);
      })
      .catch(() => {})
      .finally(() => { meterBusy[name] = false; });
  }

  function showLink() {
    const age = lastReadingAt === null ? null : Date.now() - lastReadingAt;
    const state = PORT_STATES[port.state] || port.state;
    let text = connected ? 'Puerto ' + (port.device || '') + ': ' + state : 'Sin conexión con la estación';
    if (age !== null) text += ' · última lectura hace ' + Math.max(0, Math.round(age / 1000)) + ' s';
    const link = $('link');
    link.textContent = text;
    const stale = !connected || age === null || age > STALE_MS;
    link.classList.toggle('bad', stale);
    const warning = $('warning');
    warning.hidden = !stale;
    if (stale) {
      warning.textContent = !connected ? 'Se perdió la conexión con la estación; reintentando…'
        : age === null ? 'Aún no ha llegado ninguna lectura.'
        : 'No llegan lecturas desde hace ' + Math.round(age / 1000) + ' s' + (lastFailure ? ' (' + lastFailure + ')' : '') + '.';
    }
  }

  function onHello(m) {
    $('station').textContent = m.station || '';
    if (!ownStation) ownStation = m.station || '';
    port = m.port;
    setSince(m.since_start);
    if (m.time_ms !== null) {
      lastReadingAt = Date.now() - m.age_ms;
      showValues(m);
    }
    refreshMeter('humidity');
    refreshMeter('pressure');
  }

  function onTick(m) {
    if (m.kind !== 'reading') {
      lastFailure = FAILURES[m.kind] || m.kind;
      return;
    }
    lastFailure = '';
    lastReadingAt = Date.now();
    addToSince(m);
    showValues(m);
    refreshMeter('humidity');
    refreshMeter('pressure');
    appendToChart(m);
  }

  function connect() {
    const ws = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/api/live');
    ws.onopen = () => { connected = true; showLink(); };
    ws.onmessage = (event) => {
      const m = JSON.parse(event.data);
      if (m.type === 'hello') onHello(m);
      else if (m.type === 'tick') onTick(m);
      else if (m.type === 'port') port = m;
      showLink();
    };
    ws.onclose = () => {
      connected = false;
      showLink();
      setTimeout(connect, 3000);
    };
  }

  // The chart: the mean of each bucket (or each reading), humidity on the left axis and
  // pressure on the right; the legend shows the values under the pointer.
  function chartOptions(width) {
    return {
      width: width, height: 300,
      scales: { x: { time: true }, h: {}, p: {} },
      series: [
        { label: 'Hora' },
        { label: 'Humedad (%)', scale: 'h', stroke: '#c00', width: 1.5, value: (u, v) => number(v, 1) },
        { label: 'Presión (kPa)', scale: 'p', stroke: '#00a', width: 1.5, value: (u, v) => number(v, 2) }
      ],
      axes: [{}, { scale: 'h', stroke: '#c00' }, { scale: 'p', side: 1, stroke: '#00a', grid: { show: false } }]
    };
  }

  function chartData(body) {
    const xs = [], hs = [], ps = [];
    if (body.bucketed) {
      for (const b of body.buckets) {
        xs.push((b.start_ms + b.end_ms) / 2000);
        hs.push(b.humidity_pct.mean);
        ps.push(b.pressure_kpa.mean);
      }
    } else {
      for (const r of body.readings) {
        xs.push(r.time_ms / 1000);
        hs.push(r.humidity_pct);
        ps.push(r.pressure_kpa);
      }
    }
    return [xs, hs, ps];
  }

  let shownRaw = false;
  function appendToChart(r) {
    if (!chart || !shownRaw || hours !== 1 || historyStation) return;
    const d = chart.data;
    d[0].push(r.time_ms / 1000); d[1].push(r.humidity_pct); d[2].push(r.pressure_kpa);
    chart.setData(d);
    $('chart').dataset.points = String(d[0].length);
  }

  // The chart library is the page's largest script: it is fetched once the page is up, so the
  // meters and values never wait for it.
  let chartLibrary = null;
  function loadChartLibrary() {
    if (!chartLibrary) {
      chartLibrary = new Promise((resolve, reject) => {
        const script = document.createElement('script');
        script.src = '/uplot.js';
        script.onload = resolve;
        script.onerror = () => { chartLibrary = null; reject(new Error('uPlot')); };
        document.head.appendChild(script);
      });
    }
    return chartLibrary;
  }

  // The station parameter of the history routes ('' for the service's own station).
  function stationParam(first) {
    return historyStation ? (first ? '?' : '&') + 'station=' + encodeURIComponent(historyStation) : '';
  }

  function loadRange(h) {
    hours = h;
    const mine = ++generation.range;
    for (const b of document.querySelectorAll('#ranges button')) {
      b.classList.toggle('on', Number(b.dataset.hours) === h);
    }
    const to = Date.now();
    const from = to - h * 3600 * 1000;
    const box = $('chart');
    const points = Math.max(100, Math.min(2000, box.clientWidth || 600));
    $('csv').href = '/api/export.csv?from=' + from + '&to=' + to + stationParam(false);
    $('chart-note').textContent = 'Cargando…';
    const library = loadChartLibrary();
    fetch('/api/readings?from=' + from + '&to=' + to + '&points=' + points + stationParam(false), { credentials: 'same-origin' })
      .then((r) => r.json().then((body) => ({ ok: r.ok, body })))
      .then((answer) => library.then(() => answer))
      .then(({ ok, body }) => {
        if (mine !== generation.range) return;
        if (!ok) { $('chart-note').textContent = body.error || 'No se pudo leer el archivo.'; return; }
        shownRaw = !body.bucketed;
        const data = chartData(body);
        if (chart) chart.destroy();
        chart = new uPlot(chartOptions(box.clientWidth || 600), data, box);
        box.dataset.points = String(data[0].length);
        box.dataset.station = historyStation || ownStation;
        $('chart-note').textContent = body.count + ' lecturas' + (body.bucketed ? ', en grupos de ' + Math.round(body.bucket_ms / 60000) + ' min' : '');
      })
      .catch(() => { if (mine === generation.range) $('chart-note').textContent = 'No se pudo leer el archivo.'; });
  }

  function cell(q, digits, which) {
    if (q[which] === null) return '<td>–</td>';
    return '<td>' + number(q[which], digits) + ' <small>' + clock(q[which + '_time']) + '</small></td>';
  }

  function loadDays() {
    const mine = ++generation.days;
    fetch('/api/daily' + stationParam(true), { credentials: 'same-origin' })
      .then((r) => r.ok ? r.json() : { days: [] })
      .then((body) => {
        if (mine !== generation.days) return;
        const rows = body.days.slice().reverse().map((d) => '<tr><th>' + d.date.split('-').reverse().join('/') + '</th>' +
          cell(d.humidity_pct, 1, 'min') + cell(d.humidity_pct, 1, 'max') +
          cell(d.pressure_kpa, 2, 'min') + cell(d.pressure_kpa, 2, 'max') + '</tr>');
        document.querySelector('#days tbody').innerHTML = rows.join('');
        $('days').dataset.station = historyStation || ownStation;
      })
      .catch(() => {});
  }

  // The picker shows only where the archive holds more than one station.
  function loadStations() {
    fetch('/api/stations', { credentials: 'same-origin' })
      .then((r) => r.ok ? r.json() : null)
      .then((body) => {
        if (!body || !Array.isArray(body.stations) || body.stations.length < 2) return;
        ownStation = body.station || '';
        const select = $('history-station');
        select.replaceChildren();
        const names = body.stations.map((s) => s.name);
        if (!names.includes(ownStation)) body.stations.unshift({ name: ownStation }); // not written yet
        for (const s of body.stations) {
          const option = document.createElement('option');
          option.value = s.name === ownStation ? '' : s.name;
          option.textContent = s.name + (s.name === ownStation ? ' (este servicio)' : '');
          select.appendChild(option);
        }
        select.value = historyStation;
        $('picker-note').textContent = 'Los medidores y los valores en directo son siempre los de ' + ownStation + '.';
        $('picker').hidden = false;
      })
      .catch(() => {});
  }

  function chooseStation(name) {
    historyStation = name;
    const shown = name || ownStation;
    $('history-name').textContent = name ? '· ' + shown : '';
    $('days-station').textContent = name ? '· ' + shown : '';
    loadRange(hours);
    loadDays();
  }

  document.addEventListener('DOMContentLoaded', () => {
    $('history-station').addEventListener('change', (e) => chooseStation(e.target.value));
    for (const b of document.querySelectorAll('#ranges button')) {
      b.addEventListener('click', () => loadRange(Number(b.dataset.hours)));
    }
    window.addEventListener('resize', () => { if (chart) chart.setSize({ width: $('chart').clientWidth, height: 300 }); });
    connect();
    loadRange(1);
    loadDays();
    loadStations();
    setInterval(showLink, 1000);
  });
})();
