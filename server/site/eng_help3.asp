<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Skyglance help - Pictures Selection</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Skyglance help</div>
<h1>Pictures Selection</h1>
<p>Tick the pictures you want to see. Click a row to preview it. Save your ticks as a collection, or load a collection to add its pictures.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>
