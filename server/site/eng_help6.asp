<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Skyglance help - Display Timers</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Skyglance help</div>
<h1>Display Timers</h1>
<p>The download timer (minutes, at least 15) sets how often the pictures are fetched again; the slide timer (seconds, at least 1) sets how long each picture stays. The display mode shows pictures full screen or at their real size.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>
