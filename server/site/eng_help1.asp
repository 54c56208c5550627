<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Skyglance help - Run - Exit</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Skyglance help</div>
<h1>Run - Exit</h1>
<p>Start the slide show with the start icon; it runs by itself at every start once pictures are ticked. Quit with the exit icon: the settings are saved first.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>
