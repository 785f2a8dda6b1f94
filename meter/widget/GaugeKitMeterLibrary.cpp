// The shared GaugeKit meter library has no code of its own: it is the widget's static library
// linked whole, with the control and the drawing library behind it.
