CREATE TABLE `instant_add` (
  `id` int(11) NOT NULL,
  `a` varchar(20) NOT NULL,
  `c` int(11) NOT NULL DEFAULT 42,
  `d` varchar(20) DEFAULT 'dflt',
  `e` datetime DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
